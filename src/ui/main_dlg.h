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
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnExit();

    // While set, the window stays hidden even when the dialog manager shows it on its first idle.
    bool hiddenToTray_ = false;
};
