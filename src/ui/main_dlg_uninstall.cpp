// Uninstall: the static entry, the Startup shortcut, the settings and the service go; the window stays.
#include <windows.h>

#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "net/binding.h"
#include "res/resource.h"
#include "sys/ui_text.h"
#include "ui/main_dlg.h"
#include "ui/startup_shortcut.h"

// The settings go first: when they cannot, nothing else is undone and the binding goes on. Otherwise no step's
// result is examined but the service's: whatever is already gone is simply not found, and the message follows.
// A service that stays is told after it.
void CArpMainDlg::OnUninstall() {
    // The accessor's sub key is the vendor key: everything under it goes, the settings key included.
    const LSTATUS removal = CRegStringValue(kSettingsKey, "").removeKey();
    if (removal != ERROR_SUCCESS && removal != ERROR_FILE_NOT_FOUND) {
        MessageBox(uiText(IDS_SETTINGS_NOT_REMOVED, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    stopBinding();
    // First, so that a running service is stopped before the static entry goes and cannot pin it again.
    const unsigned serviceWarning = uninstallService();
    runRemoveCommand(gwip);
    // Named after this copy's own executable, so a client copy leaves the administrator's shortcut alone.
    std::wstring shortcut = startupShortcutPath();
    if (!shortcut.empty())
        DeleteFileW(shortcut.c_str());
    MessageBox(uiText(IDS_UNINSTALL_DONE, language), kInformationCaption, MB_OK | MB_ICONINFORMATION);
    if (serviceWarning != 0)
        MessageBox(uiText(serviceWarning, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
}
