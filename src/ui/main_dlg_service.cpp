// The service beside the window: Apply installs or removes it, Uninstall removes it, and while it runs the
// window leaves the binding to it.
#include <windows.h>

#include "net/binding_commands.h"
#include "res/resource.h"
#include "service/service_install.h"
#include "sys/seams.h"
#include "sys/system_paths.h"
#include "ui/main_dlg.h"

namespace {

unsigned setupWarning(ServiceSetup result) {
    switch (result) {
        case ServiceSetup::Done:
            return 0;
        case ServiceSetup::StartFailed:
            return IDS_SERVICE_START_FAILED;
        case ServiceSetup::ImageNotHeld:
            return IDS_SERVICE_IMAGE_NOT_HELD;
        default:
            return IDS_SERVICE_INSTALL_FAILED;
    }
}

}  // namespace

// The service gets the window's pair and interval as Apply left them.
unsigned CArpMainDlg::applyServiceChoice() {
    const bool wanted = SendMessageW(GetDlgItem(IDC_SERVICE), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const bool elevated = seams().processElevated();
    if (wanted) {
        if (!elevated)
            return IDS_SERVICE_NEEDS_ADMIN;
        return setupWarning(installService(ServiceSettings{timer, gwip, gwmac}));
    }
    if (elevated && serviceInstalled() && !removeService())
        return IDS_SERVICE_REMOVE_FAILED;
    return 0;
}

// An administrator's Uninstall also clears what a failed removal may have left behind.
unsigned CArpMainDlg::uninstallService() {
    if (seams().processElevated())
        return removeService() ? 0 : IDS_SERVICE_REMOVE_FAILED;
    return serviceInstalled() ? IDS_SERVICE_STAYS : 0;
}

// Asked again at every expiry, so that a stopped service leaves the binding to this copy at once. The watch counts
// the service's binding as this copy's, so a service that pins nothing still shows as "not pinned".
bool CArpMainDlg::leaveBindingToService() {
    serviceBinds_ = bindingConfigured(timer, gwip, gwmac) && serviceRunning();
    if (!serviceBinds_)
        return false;
    SetTimer(GetHwnd(), kBindTimerId, bindPeriodMs(timer), nullptr);
    watch_.bindCommandRan();
    return true;
}
