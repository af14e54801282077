#pragma once
#include "ui/dialog.h"

// The program's only window.
class CArpMainDlg : public CDialog {
public:
    explicit CArpMainDlg(HWND parent);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    bool OnSysCommand(UINT command, LPARAM lParam) override;

private:
    void OnExit();
};
