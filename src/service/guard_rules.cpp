#include "service/guard_rules.h"

#include "net/address_text.h"
#include "net/suspects_text.h"

namespace {

// The event log speaks English only.
constexpr const char* kNoSuspectsText = "none seen";

}  // namespace

GuardEventType guardEventType(ServiceEvent id) {
    switch (id) {
        case kEventConflict:
            return GuardEventType::Error;
        case kEventNotInEffect:
        case kEventAway:
        case kEventSilent:
        case kEventRouteElsewhere:
        case kEventSettingsInvalid:
            return GuardEventType::Warning;
        case kEventProtected:
        case kEventStarted:
        case kEventStopped:
            break;
    }
    return GuardEventType::Information;
}

std::optional<GuardEvent> verdictEvent(const GatewayVerdict& verdict, const std::string& gwip, const MacBytes& pinned) {
    switch (verdict.state) {
        case GatewayState::Protected:
            return GuardEvent{kEventProtected, {gwip, formatMacText(pinned)}};
        case GatewayState::NotInEffect:
            return GuardEvent{kEventNotInEffect, {gwip, formatMacText(pinned)}};
        case GatewayState::Conflict:
            return GuardEvent{kEventConflict, {gwip, formatMacText(verdict.answered), formatMacText(pinned),
                                               suspectsText(verdict.suspects, kNoSuspectsText)}};
        case GatewayState::Away:
            return GuardEvent{kEventAway, {gwip, formatMacText(verdict.answered), formatMacText(pinned)}};
        case GatewayState::Silent:
            return GuardEvent{kEventSilent, {gwip, formatMacText(pinned)}};
        case GatewayState::RouteElsewhere:
            return GuardEvent{kEventRouteElsewhere, {ipv4Text(verdict.routedVia), gwip}};
        case GatewayState::Unsettled:
            break;
    }
    return std::nullopt;
}
