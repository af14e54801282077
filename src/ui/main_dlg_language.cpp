// The language switch of the main window.
#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "res/resource.h"
#include "ui/main_dlg.h"
#include "ui/main_texts.h"

void CArpMainDlg::OnLanguageChange() {
    language = static_cast<int32_t>(SendMessageW(languageCombo_, CB_GETCURSEL, 0, 0));

    // A missing value reads as 0, so English is never written over it.
    CRegDwordValue stored(kLanguageValuePath, 0);
    if (static_cast<uint32_t>(stored) != static_cast<uint32_t>(language)) {
        stored = static_cast<uint32_t>(language);
        stored.write();
    }

    SetWindowText(kMainWindowTitle.in(language));
    int logoId = language == SimplifiedChinese ? IDB_LOGO_SIMPLIFIED : IDB_LOGO;
    HGDIOBJ logo = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(logoId), IMAGE_BITMAP, 0, 0, 0);
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        SendMessageW(logoPicture_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo)));
    // The replaced bitmap is ours to delete once the new one shows, including the template's first one.
    if (previous && previous != logoBitmap_.get())
        DeleteObject(previous);
    logoBitmap_.reset(logo);

    for (const ControlText& control : kMainWindowTexts)
        SetDlgItemText(control.controlId, control.text.in(language));
    UpdateData(true);
    if (shownVerdict_.state != GatewayState::Unsettled)
        showGatewayState(false);
}
