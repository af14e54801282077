#pragma once
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "auth/password.h"
#include "ui/dialog.h"

// Reads "pwd" afresh; the digest of the default password when it is absent, unreadable or empty.
std::string StoredPasswordDigest();

// Keeps a password entry within a number of bytes of an ANSI code page, as an ANSI edit limited by
// EM_LIMITTEXT would: the dialogs are Unicode, whose limit counts characters, so a double-byte character
// would otherwise count one. Text that would not fit is refused and the previous text stays.
class PasswordEntryLimit {
  public:
    explicit PasswordEntryLimit(int maxBytes, UINT codePage = CP_ACP) : maxBytes_(maxBytes), codePage_(codePage) {}

    // Call on every EN_CHANGE of the entry.
    void OnChange(HWND edit);

  private:
    int maxBytes_;
    UINT codePage_;
    std::wstring accepted_;
    bool restoring_ = false;
};

// What the two password dialogs share: the owner's language (any number but 1 and 2 is English), their
// texts and warnings in it, and a byte limit on each password entry.
class PasswordDialog : public CDialog {
  public:
    const int32_t language;

  protected:
    // entryIds: the dialog's password entries, each kept within kMaxPasswordBytes.
    PasswordDialog(UINT templateId, HWND parent, int32_t language, std::initializer_list<UINT> entryIds);

    // The caption, the labels (control id, text id) and OK and Cancel, from the string tables.
    void SetTexts(unsigned captionId, std::initializer_list<std::pair<UINT, unsigned>> labels);
    void Warn(unsigned messageId);
    // How the ANSI code page holds what was typed into the entry (see CodePageFit).
    CodePageFit entryFit(UINT entryId) const;
    bool OnCommand(UINT id, UINT code) override;

  private:
    std::vector<std::pair<UINT, PasswordEntryLimit>> limits_;
};

// Asks for the administrator password before the main window unlocks. Ends with IDOK only when the
// password's digest matches the stored one; cancelling ends with IDCANCEL.
class CUnlockDlg : public PasswordDialog {
  public:
    CUnlockDlg(HWND parent, int32_t language);

    std::string password;

  protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};

// Replaces the administrator password. Stores the new digest in "pwd" and ends with IDOK once every
// check passes; cancelling stores nothing and ends with IDCANCEL.
class CChangePasswordDlg : public PasswordDialog {
  public:
    CChangePasswordDlg(HWND parent, int32_t language);

    std::string oldPassword;
    std::string newPassword;
    std::string confirmPassword;

  protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
