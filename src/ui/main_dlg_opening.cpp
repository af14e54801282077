// Opening the main window: settings, language, discovery, lock state and presets.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "app/run_mode.h"
#include "config/arp_settings.h"
#include "config/settings_store.h"
#include "net/binding_commands.h"
#include "net/discovery.h"
#include "res/resource.h"
#include "sys/seams.h"
#include "ui/field_rules.h"
#include "ui/main_dlg.h"

namespace {

const wchar_t* const kLanguageNames[] = {L"English", L"Simplified Chinese", L"Traditional Chinese"};

LPARAM ipAddressOf(const Ipv4Bytes& bytes) {
    return static_cast<LPARAM>(MAKEIPADDRESS(bytes[0], bytes[1], bytes[2], bytes[3]));
}

}  // namespace

BOOL CArpMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(GetHwnd(), FALSE)) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, kAboutCommand, L"About XirARP Utility");
    }
    SendMessageW(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
    SendMessageW(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon_));

    const ArpSettings stored = loadSettings(SettingsRoot::User);
    // A number the field could not hold would meet the field's own refusal at every Apply.
    timer = intervalInForce(stored.timer);
    gwmac = stored.gwmac;
    gwip = stored.gwip;
    // A collector the field would refuse (written by hand) shows as none.
    syslog = syslogTextAccepted(stored.syslog) ? stored.syslog : std::string();
    language = stored.language == kLanguageUnset ? systemUiLanguage(seams().systemDefaultLangId()) : stored.language;

    for (const wchar_t* name : kLanguageNames)
        SendMessageW(languageCombo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(languageCombo_, CB_SETCURSEL, static_cast<WPARAM>(language), 0);
    OnLanguageChange();

    DiscoverNetwork();
    for (int id : {IDC_LOCAL_IP, IDC_LOCAL_MAC1, IDC_LOCAL_MAC2, IDC_LOCAL_MAC3, IDC_LOCAL_MAC4, IDC_LOCAL_MAC5,
                   IDC_LOCAL_MAC6})
        EnableWindow(GetDlgItem(id), FALSE);

    RunMode mode = currentRunMode();
    locked = mode != RunMode::Admin;
    EnableControls(locked);
    CheckRadioButton(GetHwnd(), IDC_ALLOW_SKIP_YES, IDC_ALLOW_SKIP_NO,
                     mode == RunMode::ClientAsk ? IDC_ALLOW_SKIP_YES : IDC_ALLOW_SKIP_NO);
    char interval[16];
    snprintf(interval, sizeof interval, "%d", static_cast<int>(timer == 0 ? kDefaultInterval : timer));
    intervalText = interval;
    syslogText = syslog;
    SendMessageW(generateClientCheck_, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(GetDlgItem(IDC_SERVICE), BM_SETCHECK, stored.service != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    UpdateData(false);
    // The shell's answer takes a while (under Wine a round trip to another process): the icon is added as the
    // window's loop starts, before anything posted after it, such as a client copy's minimise below.
    PostMessageW(GetHwnd(), kAddTrayIconMessage, 0, 0);

    if (mode != RunMode::Admin) {
        OnApply();
        PostMessageW(GetHwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    return TRUE;
}

// Shows what discovery found; whatever it could not find stays as it is.
void CArpMainDlg::DiscoverNetwork() {
    NetworkDiscovery found = discoverNetwork(gwip, gwmac);
    gwmac = found.gwmac;
    if (found.localIpKnown)
        SendMessageW(localIpCtrl_, IPM_SETADDRESS, 0, ipAddressOf(found.localIp));
    if (found.localMacKnown)
        localMac = found.localMac;
    if (found.gatewayIpKnown)
        SendMessageW(gatewayIpCtrl_, IPM_SETADDRESS, 0, ipAddressOf(found.gatewayIp));
    if (found.gatewayMacKnown)
        gatewayMac = found.gatewayMac;
}
