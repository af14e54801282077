#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "ui/main_dlg.h"

#include "alert/syslog_collector.h"
#include "res/resource.h"
#include "sys/ui_text.h"
#include "ui/maker_site.h"

namespace {

// Every command the window acts on, and whether it may run while the window is locked. Any program can post
// a command to the window, so the lock is kept here and not only by disabled controls; a command missing
// from the table does nothing while locked.
struct CommandRule {
    UINT id;
    bool allowedWhileLocked;
};
constexpr CommandRule kCommandRules[] = {
    {ID_TRAY_LOCK_UNLOCK, true},  // "UnLock" asks for the password
    {IDCANCEL, true},             // Esc, Alt+F4 and the close box: a locked window hides instead of ending
    // A check only puts a refused value back, and hiding the window moves the focus too.
    {IDC_GATEWAY_MAC1, true},
    {IDC_GATEWAY_MAC2, true},
    {IDC_GATEWAY_MAC3, true},
    {IDC_GATEWAY_MAC4, true},
    {IDC_GATEWAY_MAC5, true},
    {IDC_GATEWAY_MAC6, true},
    {IDC_INTERVAL, true},
    {IDC_SYSLOG, true},
    {IDC_CHANGE_PASSWORD, false},
    {IDC_APPLY, false},
    {IDC_CLEAR_FIELDS, false},
    {IDC_UNINSTALL, false},
    {IDC_EXIT, false},
    {ID_TRAY_EXIT, false},
    {IDC_GENERATE_CLIENT, false},
    {IDC_LANGUAGE, false},
};

bool commandAllowed(UINT id, bool locked) {
    if (!locked)
        return true;
    for (const CommandRule& rule : kCommandRules) {
        if (rule.id == id)
            return rule.allowedWhileLocked;
    }
    return false;
}

}  // namespace

CArpMainDlg::CArpMainDlg(HWND parent)
    : CDialog(IDD_XIRARP_DIALOG, parent),
      appIcon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_XIRARP))),
      taskbarCreatedMessage_(RegisterWindowMessageW(L"TaskbarCreated")) {
    driver_.setOutlets({&tray_, &syslog_});
}

void CArpMainDlg::DoDataExchange(DataExchange& dx) {
    gatewayIpCtrl_ = GetDlgItem(IDC_GATEWAY_IP);
    static const int kGatewayMacIds[6] = {IDC_GATEWAY_MAC1, IDC_GATEWAY_MAC2, IDC_GATEWAY_MAC3,
                                          IDC_GATEWAY_MAC4, IDC_GATEWAY_MAC5, IDC_GATEWAY_MAC6};
    for (int i = 0; i < 6; ++i)
        dx.text(kGatewayMacIds[i], gatewayMac[i], 2);
    localIpCtrl_ = GetDlgItem(IDC_LOCAL_IP);
    static const int kLocalMacIds[6] = {IDC_LOCAL_MAC1, IDC_LOCAL_MAC2, IDC_LOCAL_MAC3,
                                        IDC_LOCAL_MAC4, IDC_LOCAL_MAC5, IDC_LOCAL_MAC6};
    for (int i = 0; i < 6; ++i)
        dx.text(kLocalMacIds[i], localMac[i], 2);
    dx.text(IDC_INTERVAL, intervalText, 4);
    dx.text(IDC_SYSLOG, syslogText, static_cast<int>(kSyslogValueMaxLength));
    generateClientCheck_ = GetDlgItem(IDC_GENERATE_CLIENT);
    languageCombo_ = GetDlgItem(IDC_LANGUAGE);
    logoPicture_ = GetDlgItem(IDC_LOGO);
    yesRadio_ = GetDlgItem(IDC_ALLOW_SKIP_YES);
    noRadio_ = GetDlgItem(IDC_ALLOW_SKIP_NO);
}

bool CArpMainDlg::OnCommand(UINT id, UINT code) {
    if (!commandAllowed(id, locked))
        return true;
    switch (id) {
        case IDC_CHANGE_PASSWORD: OnChangePassword(); return true;
        case IDC_APPLY: OnApply(); return true;
        case IDC_CLEAR_FIELDS: OnClearFields(); return true;
        case IDC_UNINSTALL: OnUninstall(); return true;
        case IDC_EXIT: OnExit(); return true;
        case ID_TRAY_LOCK_UNLOCK: OnLockUnlock(); return true;
        case ID_TRAY_EXIT: OnExit(); return true;
        case IDC_GENERATE_CLIENT:
            if (code == BN_CLICKED)
                OnGenerateClientChanged();
            return true;
        case IDC_LANGUAGE:
            if (code == CBN_SELCHANGE)
                OnLanguageChange();
            return true;
        case IDC_GATEWAY_MAC1:
        case IDC_GATEWAY_MAC2:
        case IDC_GATEWAY_MAC3:
        case IDC_GATEWAY_MAC4:
        case IDC_GATEWAY_MAC5:
        case IDC_GATEWAY_MAC6:
        case IDC_INTERVAL:
        case IDC_SYSLOG:
            if (code == EN_KILLFOCUS)
                OnFieldKillFocus(static_cast<int>(id));
            return true;
        case IDOK:  // Enter does nothing here: it must not end the program
            return true;
        default:
            return CDialog::OnCommand(id, code);
    }
}

void CArpMainDlg::OnTimer(UINT_PTR id) {
    if (id == kWatchTimerId) {
        OnWatchTimer();
        return;
    }
    if (id == kTrayRetryTimerId) {
        addTrayIcon();
        return;
    }
    if (id == kBindTimerId)
        BindGateway();
}

// The fields of the ARP settings go back to blank with the default interval; members stay as they are.
void CArpMainDlg::OnClearFields() {
    SetDlgItemTextW(GetHwnd(), IDC_GATEWAY_IP, L"");
    SendMessageW(GetDlgItem(IDC_GATEWAY_IP), IPM_CLEARADDRESS, 0, 0);
    for (int id = IDC_GATEWAY_MAC1; id <= IDC_GATEWAY_MAC6; ++id)
        SetDlgItemTextW(GetHwnd(), id, L"");
    SetDlgItemTextW(GetHwnd(), IDC_INTERVAL, L"60");
}

void CArpMainDlg::OnExit() {
    EndDialog(IDCANCEL);
}

// The window has no Cancel button of id IDCANCEL: this is Esc, Alt+F4 and the close box. They end the program
// only while it is unlocked; a locked window goes to the notification area, as a minimised one does.
void CArpMainDlg::OnCancel() {
    if (locked)
        hideToTray();
    else
        CDialog::OnCancel();
}

void CArpMainDlg::OpenMakerSite() {
    siteLink_.OpenUrl(language == SimplifiedChinese ? kMakerSiteSimplifiedChinese : kMakerSiteOther, SW_SHOW);
}

bool CArpMainDlg::pointOnLogo(POINT point) const {
    RECT logo;
    GetWindowRect(GetDlgItem(IDC_LOGO), &logo);
    MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&logo), 2);
    // Both edges count, so the line just past the right and bottom edges is on the logo too.
    LONG x = point.x - logo.left;
    LONG y = point.y - logo.top;
    return x >= 0 && x <= logo.right - logo.left && y >= 0 && y <= logo.bottom - logo.top;
}

bool CArpMainDlg::OnMouseMove(UINT, POINT point) {
    if (pointOnLogo(point))
        SetCursor(LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR)));
    return false;
}

bool CArpMainDlg::OnLButtonDown(UINT, POINT point) {
    if (pointOnLogo(point))
        OpenMakerSite();
    return true;
}

bool CArpMainDlg::OnPaint() {
    if (!IsIconic(GetHwnd()))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(GetHwnd(), &paint);
    SendMessageW(GetHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(GetHwnd(), &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, appIcon_);
    EndPaint(GetHwnd(), &paint);
    return true;
}

void CArpMainDlg::OnDestroy() {
    stopBinding();
    SetTrayIcon(TrayIconAction::Delete);
}

bool CArpMainDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_POWERBROADCAST:
            // Back from sleep, maybe elsewhere: the system may have dropped the pin.
            if (wParam == PBT_APMRESUMEAUTOMATIC)
                keeper_.networkChanged();
            return false;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
            return true;
        case WM_WINDOWPOSCHANGING:
            if (hiddenToTray_)
                reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
            return false;
        case kTrayCallbackMessage:
            result = OnTrayNotify(wParam, lParam);
            return true;
        case kAddTrayIconMessage:
            addTrayIcon();
            return true;
        case kEchoAnsweredMessage:
            OnEchoAnswered(wParam, lParam != 0);
            return true;
        case kServiceBalloonMessage:
            // Any program may post this: only the service's own warnings are shown.
            if (wParam >= IDS_SERVICE_NEEDS_ADMIN && wParam <= IDS_SERVICE_STAYS)
                showWarningBalloon(uiText(static_cast<unsigned>(wParam), language));
            return true;
        default:
            // The taskbar was recreated (the shell restarted): the icon must be added again, with its state.
            if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
                addTrayIcon();
                return true;
            }
            return false;
    }
}

HBITMAP CArpMainDlg::shownLogo() const {
    return reinterpret_cast<HBITMAP>(SendMessageW(GetDlgItem(IDC_LOGO), STM_GETIMAGE, IMAGE_BITMAP, 0));
}
