#include "ui/main_dlg.h"

#include "app/run_mode.h"
#include "res/resource.h"

CArpMainDlg::CArpMainDlg(HWND parent) : CDialog(IDD_XIRARP_DIALOG, parent) {}

BOOL CArpMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText("XirARP Utility v0.4");
    // A client copy hides itself once the dialog runs.
    if (currentRunMode() != RunMode::Admin)
        PostMessageW(GetHwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return TRUE;
}

bool CArpMainDlg::OnCommand(UINT id, UINT code) {
    switch (id) {
        case IDC_EXIT:
            OnExit();
            return true;
        case IDOK:  // Enter does not end the program
            return true;
        default:
            return CDialog::OnCommand(id, code);
    }
}

bool CArpMainDlg::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) == SC_MINIMIZE) {
        hiddenToTray_ = true;
        ShowWindow(GetHwnd(), SW_HIDE);
        return true;
    }
    return false;
}

bool CArpMainDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT&) {
    if (message == WM_WINDOWPOSCHANGING && hiddenToTray_)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
    return false;
}

void CArpMainDlg::OnExit() {
    EndDialog(IDCANCEL);
}
