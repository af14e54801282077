// The binding and the gateway watch of the main window: its two timers drive the keeper, whose news shows on the
// icon.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "res/resource.h"
#include "sys/seams.h"
#include "sys/text_encoding.h"
#include "config/settings_store.h"
#include "alert/gateway_news.h"
#include "net/suspects_text.h"
#include "sys/ui_text.h"
#include "ui/gateway_state_text.h"
#include "ui/main_dlg.h"

namespace {

// The shell shows a balloon this long at most (and at least the system's own minimum).
constexpr UINT kBalloonTimeoutMs = 10000;

// Title of the balloons: the one that repeats the tip when the state turns bad, and the program's warnings.
constexpr const wchar_t* kGatewayAlertTitle = L"XirARP";

// The tip's pattern in the string tables, as the news table has it; none while unsettled.
unsigned tipPatternId(GatewayState state, bool byService) {
    if (state == GatewayState::Protected && byService)
        return IDS_GATEWAY_PROTECTED_BY_SERVICE_TIP;
    const NewsKind* kind = newsKind(state);
    return kind ? kind->tipId : 0;
}

// What the balloon says beyond the tip: who may own the MAC that answered, or how a silent pin ends.
std::string balloonAdditionText(const GatewayVerdict& shown, int32_t language) {
    if (shown.state == GatewayState::Conflict) {
        const std::string suspects = suspectsText(shown.suspects, uiText(IDS_GATEWAY_NO_SUSPECTS, language));
        char text[160] = {};
        snprintf(text, sizeof text, uiText(IDS_GATEWAY_SUSPECTS, language).c_str(), suspects.c_str());
        return std::string("\n") + text;
    }
    if (shown.state == GatewayState::Silent)
        return "\n" + uiText(IDS_GATEWAY_SILENT_ADVICE, language);
    return {};
}

// Copies as much of the text as fits, always terminated.
template <size_t Size>
void copyBounded(WCHAR (&target)[Size], const std::wstring& text) {
    const size_t length = text.size() < Size ? text.size() : Size - 1;
    wmemcpy(target, text.c_str(), length);
    target[length] = L'\0';
}

}  // namespace

void CArpMainDlg::TrayOutlet::tell(const GatewayNews& news, bool turned) {
    // A turn to another state brings the balloon once, so a locked client's user sees it too and can tell the
    // administrator; being pinned needs none.
    window_.showGatewayState(turned && news.state != GatewayState::Protected);
}

void CArpMainDlg::startBinding() {
    driver_.configure(checkBindingSettings(timer, gwip, gwmac), kFirstBindPeriodMs);
    useSyslog();
    SetTimer(GetHwnd(), kBindTimerId, kFirstBindPeriodMs, nullptr);
    // Settings that cannot bind have nothing to watch; their warning comes with the binding's expiries.
    if (keeper_.settings())
        SetTimer(GetHwnd(), kWatchTimerId, kWatchPeriodMs, nullptr);
}

void CArpMainDlg::stopBinding() {
    KillTimer(GetHwnd(), kBindTimerId);
    KillTimer(GetHwnd(), kWatchTimerId);
    ++echoTicket_;  // an answer still on its way belongs to the binding that ended
    const bool shown = keeper_.told().state != GatewayState::Unsettled;
    keeper_.stop();
    syslog_.stop();
    if (shown)
        showGatewayState(false);
}

// The binding pins what the members hold at each expiry (the same pair keeps the watch's verdicts), or leaves it to
// a running service.
void CArpMainDlg::BindGateway() {
    const bool watching = keeper_.settings().has_value();
    driver_.configure(bindingToKeep(), 0);
    useSyslog();
    if (keeper_.settings() && !watching)
        SetTimer(GetHwnd(), kWatchTimerId, kWatchPeriodMs, nullptr);
    // Re-armed before the step, so that each period counts from the previous binding, whatever the step takes.
    if (keeper_.settings())
        SetTimer(GetHwnd(), kBindTimerId, keeper_.settings()->periodMs, nullptr);
    const KeeperStep step = driver_.bindDue();
    if (keeper_.settings())
        return;
    // The timer keeps running while the warning is open and its expiries arrive inside the box's loop.
    if (!step.invalid || configWarningOpen_)
        return;
    configWarningOpen_ = true;
    MessageBox(uiText(IDS_BIND_CONFIG_MISSING, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
    configWarningOpen_ = false;
}

// The echo the keeper asks for goes off the window's thread: the table is read now, and again with the answer.
void CArpMainDlg::OnWatchTimer() {
    if (driver_.watchDue(std::nullopt, serviceWord()).moved)
        ++echoTicket_;
    if (keeper_.echoWanted() && keeper_.settings())
        echoWorker_.start(GetHwnd(), kEchoAnsweredMessage, echoTicket_, keeper_.settings()->address, kEchoTimeoutMs);
}

void CArpMainDlg::OnEchoAnswered(WPARAM ticket, bool answered) {
    // Any program may post the message: only the answer to this binding's own echo counts.
    if (ticket != echoTicket_ || echoWorker_.busy() || !keeper_.echoWanted())
        return;
    if (driver_.watchDue(answered, serviceWord()).moved)
        ++echoTicket_;
}

ServiceWord CArpMainDlg::serviceWord() {
    if (!keeper_.bindingLeftToService())
        return {};
    return {loadServiceAway(), loadServiceSilent()};
}

// A copy without a service sends its alerts to the collector of the user's key; beside a running service, the
// service sends them.
void CArpMainDlg::useSyslog() {
    syslog_.use(keeper_.bindingLeftToService() ? std::string() : loadSyslogValue(SettingsRoot::User));
}

// Through the wide record, so that the Chinese tips show whatever the ANSI code page.
void CArpMainDlg::showGatewayState(bool balloon) {
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    record.hWnd = GetHwnd();
    record.uID = kTrayIconId;
    record.uFlags = NIF_ICON | NIF_TIP;
    const GatewayVerdict& shown = keeper_.told();
    // Away is no fault: the machine only is on another network, so the usual icon and a plain balloon.
    const NewsKind* kind = newsKind(shown.state);
    const bool alert = kind && kind->alarm;
    UniqueIcon icon = loadTrayIcon(alert ? IDI_XIRARP_ALERT : IDI_XIRARP);
    record.hIcon = icon.get();
    const std::optional<BindingSettings>& settings = keeper_.settings();
    const unsigned patternId = tipPatternId(shown.state, keeper_.toldForService());
    const std::wstring tip =
        settings && patternId != 0
            ? utf8ToWide(gatewayStateText(shown, settings->gwip, settings->mac, uiText(patternId, language)))
            : std::wstring();
    copyBounded(record.szTip, tip);
    if (balloon && !tip.empty()) {
        record.uFlags |= NIF_INFO;
        copyBounded(record.szInfo, tip + utf8ToWide(balloonAdditionText(shown, language)));
        copyBounded(record.szInfoTitle, kGatewayAlertTitle);
        record.dwInfoFlags = alert ? NIIF_WARNING : NIIF_INFO;
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
