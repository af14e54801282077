// Apply: store the settings, refresh the Startup shortcut, generate the client package, bind.
#include "ui/main_dlg.h"

void CArpMainDlg::OnApply() {
    stopBindTimer(GetHwnd());
    startBindTimer(GetHwnd());
}

void CArpMainDlg::OnGenerateClientChanged() {}
