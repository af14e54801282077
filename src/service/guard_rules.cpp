#include "service/guard_rules.h"

#include "net/address_text.h"

GuardEventType guardEventType(ServiceEvent id) {
    switch (id) {
        case kEventConflict:
            return GuardEventType::Error;
        case kEventNotInEffect:
        case kEventAway:
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
            return GuardEvent{kEventConflict, {gwip, formatMacText(verdict.answered), formatMacText(pinned)}};
        case GatewayState::Away:
            return GuardEvent{kEventAway, {gwip, formatMacText(verdict.answered), formatMacText(pinned)}};
        case GatewayState::Unsettled:
            break;
    }
    return std::nullopt;
}
