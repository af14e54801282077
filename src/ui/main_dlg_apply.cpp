// Apply: store the settings, refresh the Startup shortcut, generate the client package, install or remove the
// service, bind.
#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "app/run_mode.h"
#include "config/arp_settings.h"
#include "config/client_config.h"
#include "config/reg_value.h"
#include "config/settings_store.h"
#include "net/binding.h"
#include "net/binding_commands.h"
#include "res/resource.h"
#include "service/service_install.h"
#include "sys/system_paths.h"
#include "sys/ui_text.h"
#include "ui/apply_rules.h"
#include "ui/field_rules.h"
#include "ui/client_package.h"
#include "ui/main_dlg.h"
#include "ui/startup_shortcut.h"

namespace {

// Description of the Startup shortcut.
constexpr const char* kShortcutDescription = "XirArp Utility v0.4";

bool isChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

void CArpMainDlg::OnApply() {
    UpdateData(true);  // a refused field keeps its member's old value; Apply goes on regardless
    const HWND window = GetHwnd();
    const RunMode mode = currentRunMode();
    // The MAC fields, read once. A null or group MAC (an unanswered gateway, learnt by an older version) is
    // refused before anything changes: the running binding stays as it is.
    const std::optional<MacBytes> fieldsMac = macOfFields(gatewayMac);
    if (mode == RunMode::Admin && fieldsMac && !isHostMac(*fieldsMac)) {
        MessageBox(uiText(IDS_GATEWAY_MAC_NOT_HOST, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // A collector typed without leaving its edit has not met the field check yet.
    if (mode == RunMode::Admin && !syslogTextAccepted(syslogText)) {
        MessageBox(uiText(IDS_SYSLOG_REFUSED, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const bool wasBinding = keeper_.active();
    stopBinding();

    const bool generateClient = isChecked(GetDlgItem(IDC_GENERATE_CLIENT));
    const int32_t service = isChecked(GetDlgItem(IDC_SERVICE)) ? 1 : 0;
    // "pwd" as stored, read once: empty while the default password is in force, and what the package carries.
    const std::string storedPwd = CRegStringValue(kPwdValuePath, "");
    if (mode == RunMode::Admin && generateClient && storedPwd.empty()) {
        MessageBox(uiText(IDS_DEFAULT_PASSWORD_WARNING, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    // The program's own file is where the module was loaded from, whatever the current folder.
    const std::wstring ownExecutable = ownExecutablePath();
    const std::wstring shortcut = startupShortcutPath();
    // Without a Startup folder there is nowhere sensible to put the shortcut: none is made.
    if (!ownExecutable.empty() && !shortcut.empty())
        CreateStartupShortcut(ownExecutable, kShortcutDescription, shortcut);

    if (mode == RunMode::Admin) {
        const HWND gatewayIp = GetDlgItem(IDC_GATEWAY_IP);
        unsigned missing = 0;  // the message naming the first empty field
        if (SendMessageW(gatewayIp, IPM_ISBLANK, 0, 0))
            missing = IDS_GATEWAY_IP_MISSING;
        else if (!fieldsMac)  // a field empty, or holding what is no MAC group
            missing = IDS_GATEWAY_MAC_MISSING;
        else if (intervalText.empty())
            missing = IDS_INTERVAL_MISSING;
        if (missing != 0) {
            MessageBox(uiText(missing, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }

        const char* token =
            clientModeToken(isChecked(GetDlgItem(IDC_ALLOW_SKIP_YES)), isChecked(GetDlgItem(IDC_ALLOW_SKIP_NO)));
        DWORD address = 0;  // fields left blank read as 0
        SendMessageW(gatewayIp, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        const std::string newGwip = formatIpv4Text(
            {static_cast<uint8_t>(FIRST_IPADDRESS(address)), static_cast<uint8_t>(SECOND_IPADDRESS(address)),
             static_cast<uint8_t>(THIRD_IPADDRESS(address)), static_cast<uint8_t>(FOURTH_IPADDRESS(address))});
        // Stored as typed, the groups joined by "-": every reader takes one or two digits a group, either case.
        std::string newGwmac = gatewayMac[0];
        for (size_t i = 1; i < gatewayMac.size(); ++i)
            newGwmac += "-" + gatewayMac[i];
        const int32_t newTimer = intervalInForce(intervalFromText(intervalText));

        // Settings that could not be stored are not applied: the previous gateway stays pinned as before.
        ArpSettings applied;
        applied.timer = newTimer;
        applied.gwmac = newGwmac;
        applied.gwip = newGwip;
        applied.service = service;
        applied.syslog = syslogText;
        if (!storeSettings(SettingsRoot::User, applied)) {
            if (wasBinding)
                startBinding();
            MessageBox(uiText(IDS_SETTINGS_NOT_SAVED, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        const std::string previousGwip = gwip;
        const std::string previousServiceGwip = serviceInstalled() ? loadSettings(SettingsRoot::Machine).gwip : "";
        gwip = newGwip;
        gwmac = newGwmac;
        timer = newTimer;
        syslog = syslogText;

        bool packaged = true;
        if (generateClient) {
            ArpSettings settings;
            settings.language = language;
            settings.mode = token;
            settings.pwd = storedPwd;
            settings.timer = timer;
            settings.gwmac = gwmac;
            settings.gwip = gwip;
            settings.service = service;
            settings.syslog = syslog;
            // A record too long for the text's buffer makes no package, like a failed write.
            std::optional<std::string> text = formatClientConfig(settings);
            packaged = text && writeClientPackage(ownExecutable, *text, clientStagingFolder(), userDesktopFolder());
        }

        const unsigned serviceWarning = applyServiceChoice();
        // The previous gateway's static entry goes, even when the address stays the same; and the one a service
        // pinned that pins it no more. Only now: before, a running service would put its old pair back at its next
        // reading of the cache.
        runRemoveCommand(previousGwip);
        const std::string serviceGwip = serviceInstalled() ? loadSettings(SettingsRoot::Machine).gwip : "";
        if (previousServiceGwip != previousGwip && previousServiceGwip != gwip && previousServiceGwip != serviceGwip)
            runRemoveCommand(previousServiceGwip);
        // Only the missing rights leave the rest a success; the administrator is told after the usual message.
        const bool serviceFailed = serviceWarning != 0 && serviceWarning != IDS_SERVICE_NEEDS_ADMIN;

        // The old entry is already gone and the settings are stored: the binding resumes at once, without
        // waiting for the warning to be read, and the window stays open for another try.
        if (!packaged || serviceFailed) {
            startBinding();
            if (!packaged)
                MessageBox(uiText(IDS_CLIENT_PACKAGE_FAILED, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            if (serviceWarning != 0)
                MessageBox(uiText(serviceWarning, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        const int answer =
            MessageBox(uiText(IDS_APPLY_SUCCEEDED, language), kInformationCaption, MB_OK | MB_ICONINFORMATION);
        if (serviceWarning != 0)
            MessageBox(uiText(serviceWarning, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        if (answer == IDOK)
            PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (const unsigned serviceWarning = applyServiceChoice()) {
        // A client copy hides in the notification area at once: its user reads this in a balloon.
        PostMessageW(window, kServiceBalloonMessage, serviceWarning, 0);
    }

    startBinding();
}

// The client kind can be chosen only while a client is to be generated; the choice itself is kept.
void CArpMainDlg::OnGenerateClientChanged() {
    const BOOL enable = isChecked(GetDlgItem(IDC_GENERATE_CLIENT)) ? TRUE : FALSE;
    for (int id : {IDC_ALLOW_SKIP_LABEL, IDC_ALLOW_SKIP_YES, IDC_ALLOW_SKIP_NO})
        EnableWindow(GetDlgItem(id), enable);
}
