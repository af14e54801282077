// Notification-area icon, lock state, system menu and the password change of the main window.
#include "res/resource.h"
#include "ui/about_dlg.h"
#include "ui/main_dlg.h"

void CArpMainDlg::EnableControls(bool lockedState) {
    locked = lockedState;
}

void CArpMainDlg::SetTrayIcon(int) {}

LRESULT CArpMainDlg::OnTrayNotify(WPARAM, LPARAM) {
    return 1;
}

void CArpMainDlg::OnLockUnlock() {}

void CArpMainDlg::OnChangePassword() {}

bool CArpMainDlg::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) == kAboutCommand) {
        CAboutDlg about(GetHwnd());
        about.DoModal();
        return true;
    }
    if ((command & 0xFFF0) == SC_MINIMIZE) {
        hiddenToTray_ = true;
        ShowWindow(GetHwnd(), SW_HIDE);
        return true;
    }
    return false;
}
