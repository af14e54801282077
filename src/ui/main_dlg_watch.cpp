// The gateway watch of the main window: started and stopped with the binding, shown on the icon.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "res/resource.h"
#include "sys/seams.h"
#include "sys/text_encoding.h"
#include "sys/ui_text.h"
#include "ui/gateway_state_text.h"
#include "ui/main_dlg.h"

namespace {

// The shell shows a balloon this long at most (and at least the system's own minimum).
constexpr UINT kBalloonTimeoutMs = 10000;

// Title of the balloons: the one that repeats the tip when the state turns bad, and the program's warnings.
constexpr const wchar_t* kGatewayAlertTitle = L"XirARP";

// The tip's pattern in the string tables; none while unsettled.
unsigned tipPatternId(GatewayState state, bool byService) {
    switch (state) {
        case GatewayState::Protected:
            return byService ? IDS_GATEWAY_PROTECTED_BY_SERVICE_TIP : IDS_GATEWAY_PROTECTED_TIP;
        case GatewayState::NotInEffect:
            return IDS_GATEWAY_NOT_IN_EFFECT_TIP;
        case GatewayState::Conflict:
            return IDS_GATEWAY_CONFLICT_TIP;
        case GatewayState::Unsettled:
            break;
    }
    return 0;
}

// Copies as much of the text as fits, always terminated.
template <size_t Size>
void copyBounded(WCHAR (&target)[Size], const std::wstring& text) {
    const size_t length = text.size() < Size ? text.size() : Size - 1;
    wmemcpy(target, text.c_str(), length);
    target[length] = L'\0';
}

}  // namespace

void CArpMainDlg::startBinding() {
    bindingStarted_ = true;
    startBindTimer(GetHwnd());
    watch_.start(GetHwnd(), timer, gwip, gwmac);
}

void CArpMainDlg::stopBinding() {
    bindingStarted_ = false;
    stopBindTimer(GetHwnd());
    watch_.stop(GetHwnd());
    serviceBinds_ = false;
    if (shownVerdict_.state == GatewayState::Unsettled)
        return;
    shownVerdict_ = GatewayVerdict{};
    showGatewayState(false);
}

// The icon changes only when the verdict does; a turn to a bad state brings the balloon once, so a locked
// client's user sees it too and can tell the administrator.
void CArpMainDlg::OnWatchTimer() {
    // A running service re-pins a conflict itself.
    const std::optional<GatewayVerdict> verdict = watch_.OnTimer(kWatchTimerId, !serviceBinds_);
    if (!verdict || verdict->state == GatewayState::Unsettled)
        return;
    // The tip also changes when the service starts or stops binding for this copy.
    if (!verdictWorthTelling(shownVerdict_, *verdict) && shownByService_ == serviceBinds_)
        return;
    const bool sameState = verdict->state == shownVerdict_.state;
    shownVerdict_ = *verdict;
    shownByService_ = serviceBinds_;
    showGatewayState(!sameState && verdict->state != GatewayState::Protected);
}

// Through the wide record, so that the Chinese tips show whatever the ANSI code page.
void CArpMainDlg::showGatewayState(bool balloon) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    record.hWnd = GetHwnd();
    record.uID = kTrayIconId;
    record.uFlags = NIF_ICON | NIF_TIP;
    const bool alert =
        shownVerdict_.state == GatewayState::NotInEffect || shownVerdict_.state == GatewayState::Conflict;
    UniqueIcon icon = loadTrayIcon(alert ? IDI_XIRARP_ALERT : IDI_XIRARP);
    record.hIcon = icon.get();
    const MacBytes* pinned = watch_.pinned();
    const unsigned patternId = tipPatternId(shownVerdict_.state, shownByService_);
    const std::wstring tip =
        pinned && patternId != 0
            ? utf8ToWide(gatewayStateText(shownVerdict_, watch_.gwip(), *pinned, uiText(patternId, language)))
            : std::wstring();
    copyBounded(record.szTip, tip);
    if (balloon && !tip.empty()) {
        record.uFlags |= NIF_INFO;
        copyBounded(record.szInfo, tip);
        copyBounded(record.szInfoTitle, kGatewayAlertTitle);
        record.dwInfoFlags = NIIF_WARNING;
        record.uTimeout = kBalloonTimeoutMs;
    }
    seams().notifyIconWide(NIM_MODIFY, &record);
}

// A warning of the program's own, on the icon as it is: neither its look nor its tip changes.
void CArpMainDlg::showWarningBalloon(const std::string& utf8Text) {
    if (utf8Text.empty())
        return;
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    record.hWnd = GetHwnd();
    record.uID = kTrayIconId;
    record.uFlags = NIF_INFO;
    copyBounded(record.szInfo, utf8ToWide(utf8Text));
    copyBounded(record.szInfoTitle, kGatewayAlertTitle);
    record.dwInfoFlags = NIIF_WARNING;
    record.uTimeout = kBalloonTimeoutMs;
    seams().notifyIconWide(NIM_MODIFY, &record);
}
