#include "service/guard_rules.h"

#include "net/address_text.h"
#include "net/suspects_text.h"

namespace {

// The event log speaks English only.
constexpr const char* kNoSuspectsText = "none seen";

}  // namespace

GuardEventType guardEventType(ServiceEvent id) {
    if (id == kEventSettingsInvalid)
        return GuardEventType::Warning;
    for (GatewayState state : {GatewayState::Protected, GatewayState::NotInEffect, GatewayState::Conflict,
                               GatewayState::Away, GatewayState::Silent, GatewayState::RouteElsewhere}) {
        const NewsKind* kind = newsKind(state);
        if (kind->event != id)
            continue;
        if (kind->severity <= SyslogSeverity::Error)
            return GuardEventType::Error;
        return kind->severity == SyslogSeverity::Warning ? GuardEventType::Warning : GuardEventType::Information;
    }
    return GuardEventType::Information;
}

std::optional<GuardEvent> verdictEvent(const GatewayNews& news) {
    const NewsKind* kind = newsKind(news.state);
    if (!kind)
        return std::nullopt;
    const std::string pinned = formatMacText(news.pinned);
    const std::string answered = news.answered ? formatMacText(*news.answered) : std::string();
    switch (news.state) {
        case GatewayState::Conflict:
            return GuardEvent{kind->event, {news.gateway, answered, pinned, suspectsText(news.suspects, kNoSuspectsText)}};
        case GatewayState::Away:
            return GuardEvent{kind->event, {news.gateway, answered, pinned}};
        case GatewayState::RouteElsewhere:
            return GuardEvent{kind->event, {ipv4Text(news.routedVia), news.gateway}};
        default:
            return GuardEvent{kind->event, {news.gateway, pinned}};
    }
}
