#pragma once
#include <cstdint>
#include <string>

#include "auth/password.h"
#include "auth/password_entry.h"
#include "ui/dialog.h"

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
