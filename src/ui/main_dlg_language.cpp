// The language switch of the main window.
#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "res/resource.h"
#include "sys/ui_text.h"
#include "ui/main_dlg.h"

namespace {

// The same in every language.
constexpr const char* kMainWindowTitle = "XirARP Utility v0.4";

// The controls whose texts the language switch sets, in the order it sets them; each text has its control's id
// in the string tables.
constexpr int kTranslatedControls[] = {
    IDC_LOCAL_GROUP,     IDC_LOCAL_IP_LABEL, IDC_ARP_GROUP,        IDC_GENERATE_CLIENT, IDC_ALLOW_SKIP_LABEL,
    IDC_ALLOW_SKIP_YES,  IDC_ALLOW_SKIP_NO,  IDC_GATEWAY_IP_LABEL, IDC_INTERVAL_LABEL,  IDC_SECONDS_LABEL,
    IDC_CHANGE_PASSWORD, IDC_APPLY,          IDC_CLEAR_FIELDS,     IDC_UNINSTALL,       IDC_EXIT,
    IDC_SERVICE,         IDC_SYSLOG_LABEL,
};

}  // namespace

void CArpMainDlg::OnLanguageChange() {
    language = static_cast<int32_t>(SendMessageW(languageCombo_, CB_GETCURSEL, 0, 0));

    // A missing value reads as 0, so English is never written over it.
    CRegDwordValue stored(kLanguageValuePath, 0);
    if (static_cast<uint32_t>(stored) != static_cast<uint32_t>(language))
        stored.store(static_cast<uint32_t>(language));

    SetWindowText(kMainWindowTitle);
    int logoId = language == SimplifiedChinese ? IDB_LOGO_SIMPLIFIED : IDB_LOGO;
    HGDIOBJ logo = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(logoId), IMAGE_BITMAP, 0, 0, 0);
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        SendMessageW(logoPicture_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo)));
    // The replaced bitmap is ours to delete once the new one shows, including the template's first one.
    if (previous && previous != logoBitmap_.get())
        DeleteObject(previous);
    logoBitmap_.reset(logo);

    for (int controlId : kTranslatedControls)
        SetDlgItemText(controlId, uiText(static_cast<unsigned>(controlId), language));
    UpdateData(true);
    if (keeper_.told().state != GatewayState::Unsettled)
        showGatewayState(false);
}
