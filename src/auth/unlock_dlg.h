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
    explicit CUnlockDlg(HWND parent);

    int32_t language = 0;
    std::string password;

  protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;

  private:
    PasswordEntryLimit passwordLimit_{kMaxPasswordBytes};
};
