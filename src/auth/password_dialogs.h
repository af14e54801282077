#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

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

// Asks for the administrator password before the main window unlocks. Ends with IDOK only when the
// password's digest matches the stored one; cancelling ends with IDCANCEL.
class CUnlockDlg : public CDialog {
  public:
    // The texts are in the owner's language (any number but 1 and 2 is English).
    CUnlockDlg(HWND parent, int32_t language);

    const int32_t language;
    std::string password;

  protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;

  private:
    PasswordEntryLimit passwordLimit_{kMaxPasswordBytes};
};

// Replaces the administrator password. Stores the new digest in "pwd" and ends with IDOK once every
// check passes; cancelling stores nothing and ends with IDCANCEL.
class CChangePasswordDlg : public CDialog {
  public:
    // The texts are in the owner's language (any number but 1 and 2 is English).
    CChangePasswordDlg(HWND parent, int32_t language);

    const int32_t language;
    std::string oldPassword;
    std::string newPassword;
    std::string confirmPassword;

  protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;

  private:
    void Warn(unsigned messageId);  // a text of the string tables

    PasswordEntryLimit oldLimit_{kMaxPasswordBytes};
    PasswordEntryLimit newLimit_{kMaxPasswordBytes};
    PasswordEntryLimit confirmLimit_{kMaxPasswordBytes};
};
