// Notification-area icon, lock state, system menu, About box and the password change of the main window.
#include <windows.h>
#include <shellapi.h>

#include "app/run_mode.h"
#include "auth/password_dialogs.h"
#include "res/resource.h"
#include "sys/seams.h"
#include "sys/system_dlls.h"
#include "sys/text_encoding.h"
#include "sys/ui_text.h"
#include "sys/win_handles.h"
#include "ui/main_dlg.h"

namespace {

// The icon record is declared to the shell in the size of the version with the 128-character tip and no
// balloon GUID: 488 bytes in the 32-bit program.
constexpr DWORD kNotifyIconRecordSize = NOTIFYICONDATAA_V2_SIZE;
#ifndef _WIN64
static_assert(kNotifyIconRecordSize == 488, "the shell expects the 488-byte icon record");
#endif

// Usable whenever the window is unlocked.
constexpr int kAlwaysUnlockedControls[] = {IDC_LANGUAGE, IDC_UNINSTALL, IDC_EXIT};
// The administrator's settings: usable only unlocked in the administrator program.
constexpr int kAdminControls[] = {IDC_GENERATE_CLIENT, IDC_ALLOW_SKIP_YES, IDC_ALLOW_SKIP_NO, IDC_GATEWAY_IP,
                                  IDC_GATEWAY_MAC1,    IDC_GATEWAY_MAC2,   IDC_GATEWAY_MAC3,  IDC_GATEWAY_MAC4,
                                  IDC_GATEWAY_MAC5,    IDC_GATEWAY_MAC6,   IDC_INTERVAL,      IDC_CHANGE_PASSWORD,
                                  IDC_APPLY,           IDC_CLEAR_FIELDS,   IDC_SERVICE,       IDC_SYSLOG};

void setMenuItemText(HMENU menu, UINT command, const std::string& utf8) {
    ModifyMenuW(menu, command, MF_BYCOMMAND | MF_STRING, command, utf8ToWide(utf8).c_str());
}

}  // namespace

CAboutDlg::CAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}

void CArpMainDlg::EnableControls(bool lockedState) {
    bool adminSettings = !lockedState && currentRunMode() == RunMode::Admin;
    for (int id : kAlwaysUnlockedControls)
        EnableWindow(GetDlgItem(id), !lockedState);
    for (int id : kAdminControls)
        EnableWindow(GetDlgItem(id), adminSettings);
}

bool CArpMainDlg::SetTrayIcon(TrayIconAction action) {
    NOTIFYICONDATAA record{};
    record.cbSize = kNotifyIconRecordSize;
    record.hWnd = GetHwnd();
    record.uID = kTrayIconId;
    if (action == TrayIconAction::Add) {
        UniqueIcon icon = loadTrayIcon(IDI_XIRARP);
        record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        record.uCallbackMessage = kTrayCallbackMessage;
        record.hIcon = icon.get();
        record.szTip[0] = '\0';  // no tip
        letTaskbarCreatedThrough();
        if (seams().notifyIcon(NIM_ADD, &record))
            return true;
        // An add that timed out may still have reached the shell, which then refuses a second one: an icon
        // that takes a change is there.
        return seams().notifyIcon(NIM_MODIFY, &record);
    }
    return seams().notifyIcon(NIM_DELETE, &record);
}

// A copy started at logon may come before the shell can take icons; without one, a hidden and locked copy
// could be neither unlocked nor ended.
void CArpMainDlg::addTrayIcon() {
    if (!SetTrayIcon(TrayIconAction::Add)) {
        SetTimer(GetHwnd(), kTrayRetryTimerId, kTrayRetryPeriodMs, nullptr);
        return;
    }
    KillTimer(GetHwnd(), kTrayRetryTimerId);
    if (keeper_.told().state != GatewayState::Unsettled)
        showGatewayState(false);
}

// Our own copy of the small icon: the shell keeps one of its own once the icon is added or changed.
UniqueIcon CArpMainDlg::loadTrayIcon(int resourceId) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
}

LRESULT CArpMainDlg::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != kTrayIconId)
        return 1;
    switch (mouseMessage) {
        case WM_MOUSEMOVE:
            SetCursor(LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR)));
            break;
        case WM_LBUTTONDOWN:
            // A locked window opens only through "UnLock"; the click leads to the maker's site instead.
            if (locked) {
                OpenMakerSite();
            } else {
                hiddenToTray_ = false;
                ShowWindow(GetHwnd(), SW_SHOWNORMAL);
            }
            break;
        case WM_RBUTTONDOWN: {
            // In the foreground the menu closes when the user clicks elsewhere.
            SetForegroundWindow(GetHwnd());
            UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
            HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
            if (!popup)
                break;
            setMenuItemText(popup, ID_TRAY_LOCK_UNLOCK, uiText(locked ? IDS_TRAY_UNLOCK : IDS_TRAY_LOCK, language));
            setMenuItemText(popup, ID_TRAY_EXIT, uiText(IDS_TRAY_EXIT, language));
            EnableMenuItem(popup, ID_TRAY_LOCK_UNLOCK, MF_BYCOMMAND | MF_ENABLED);
            EnableMenuItem(popup, ID_TRAY_EXIT, MF_BYCOMMAND | (locked ? MF_GRAYED : MF_ENABLED));
            POINT cursor{};
            GetCursorPos(&cursor);
            TrackPopupMenu(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, GetHwnd(), nullptr);
            // The task switch the shell's menus need so that the next menu does not close at once.
            PostMessageW(GetHwnd(), WM_NULL, 0, 0);
            break;
        }
        default:
            break;
    }
    return 1;
}

// "UnLock" asks for the password and shows the window; "Lock" leaves it as shown as it was.
void CArpMainDlg::OnLockUnlock() {
    if (locked) {
        CUnlockDlg unlock(GetHwnd(), language);
        if (unlock.DoModal() == IDOK) {
            locked = false;
            hiddenToTray_ = false;
            ShowWindow(GetHwnd(), SW_SHOWNORMAL);
        }
    } else {
        locked = true;
    }
    EnableControls(locked);
}

void CArpMainDlg::OnChangePassword() {
    CChangePasswordDlg dialog(GetHwnd(), language);
    dialog.DoModal();
}

bool CArpMainDlg::OnSysCommand(UINT command, LPARAM) {
    switch (command & 0xFFF0) {
        case kAboutCommand: {
            CAboutDlg about(GetHwnd());
            about.DoModal();
            return true;
        }
        case SC_MINIMIZE:
            hideToTray();
            return true;
        default:
            return false;
    }
}

// Minimising hides to the notification area and locks; the controls are recomputed at the next lock or unlock
// from the menu.
void CArpMainDlg::hideToTray() {
    locked = true;
    hiddenToTray_ = true;
    ShowWindow(GetHwnd(), SW_HIDE);
}

// An elevated copy does not hear broadcasts from the lower-integrity shell unless it says so, and without
// "TaskbarCreated" its icon would be gone for good once Explorer restarts. Looked up at run time: the
// per-window call exists from Windows 7, the per-process one from Vista, and older systems filter nothing.
bool CArpMainDlg::letTaskbarCreatedThrough() const {
    constexpr DWORD kAllowMessage = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD for the per-process call
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32 || taskbarCreatedMessage_ == 0)
        return false;
    using WindowFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using ProcessFilter = BOOL(WINAPI*)(UINT, DWORD);
    if (auto filter = systemFunction<WindowFilter>(user32, "ChangeWindowMessageFilterEx"))
        return filter(GetHwnd(), taskbarCreatedMessage_, kAllowMessage, nullptr) != FALSE;
    if (auto filter = systemFunction<ProcessFilter>(user32, "ChangeWindowMessageFilter"))
        return filter(taskbarCreatedMessage_, kAllowMessage) != FALSE;
    return false;
}
