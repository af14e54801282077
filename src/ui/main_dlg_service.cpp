// The service beside the window: Apply installs or removes it, Uninstall removes it, and while it runs the
// window leaves the binding to it.
#include <windows.h>

#include "app/run_mode.h"
#include "config/settings_store.h"
#include "res/resource.h"
#include "service/service_install.h"
#include "sys/seams.h"
#include "sys/system_paths.h"
#include "net/binding.h"
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
        case ServiceSetup::NotUpdated:
            return IDS_SERVICE_NOT_UPDATED;
        case ServiceSetup::MarkedForDeletion:
            return IDS_SERVICE_MARKED_FOR_DELETION;
        default:
            return IDS_SERVICE_INSTALL_FAILED;
    }
}

}  // namespace

// The service gets the window's pair, interval and collector as Apply left them. Only the administrator's window
// removes it: a client's package may simply be older than the service.
unsigned CArpMainDlg::applyServiceChoice() {
    const bool wanted = SendMessageW(GetDlgItem(IDC_SERVICE), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const bool elevated = seams().processElevated();
    const bool client = currentRunMode() != RunMode::Admin;
    const BindingCheck own = checkBindingSettings(timer, gwip, gwmac);
    if (wanted) {
        // Apply and the import checked the pair already; one that still cannot bind installs nothing.
        if (!own.settings)
            return IDS_SERVICE_INSTALL_FAILED;
        // Without the rights there is nothing to ask for while the service already pins this pair.
        if (!elevated)
            return servicePinsPair(*own.settings) ? 0 : IDS_SERVICE_NEEDS_ADMIN;
        return setupWarning(installService({*own.settings, syslog},
                                           client ? InstallRequest::Client : InstallRequest::Administrator));
    }
    if (!client && elevated && serviceInstalled() && !removeService())
        return IDS_SERVICE_REMOVE_FAILED;
    return 0;
}

// An administrator's Uninstall also clears what a failed removal may have left behind. The service is stopped before
// the window removes its own static entry; the one the service pinned goes too when it is another gateway's.
unsigned CArpMainDlg::uninstallService() {
    if (seams().processElevated()) {
        std::string pinnedGwip;
        const bool removed = removeService(&pinnedGwip);
        if (pinnedGwip != gwip)
            runRemoveCommand(pinnedGwip);
        return removed ? 0 : IDS_SERVICE_REMOVE_FAILED;
    }
    return serviceInstalled() ? IDS_SERVICE_STAYS : 0;
}

// What the binding keeps at an expiry: this copy's own pair, or beside a running service the pair the service pins
// (the machine key), which this copy then only watches. Asked again at every expiry, so that a stopped service
// leaves the binding to this copy at once. The watch counts the service's binding as this copy's, so a service
// that pins nothing still shows as "not pinned".
BindingCheck CArpMainDlg::bindingToKeep() {
    const BindingCheck own = checkBindingSettings(timer, gwip, gwmac);
    const bool left = own.settings && serviceRunning();
    keeper_.leaveBindingToService(left);
    if (!left)
        return own;
    const ArpSettings machine = loadSettings(SettingsRoot::Machine);
    const BindingCheck pinned = checkBindingSettings(machine.timer, machine.gwip, machine.gwmac);
    return pinned.settings ? pinned : own;
}
