#pragma once
#include <cstdint>
#include <string>

#include "auth/password.h"
#include "auth/password_entry.h"
#include "ui/dialog.h"

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
