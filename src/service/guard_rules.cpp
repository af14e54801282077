#include "service/guard_rules.h"

#include "net/address_text.h"
#include "net/binding_commands.h"

const char* invalidGuardSetting(uint32_t timer, const std::string& gwip, const std::string& gwmac) {
    if (intervalInForce(static_cast<int32_t>(timer)) == 0)
        return "timer";
    if (!isDottedIpv4Text(gwip))
        return "gwip";
    if (!pinnableMac(gwmac))
        return "gwmac";
    return nullptr;
}

GuardEventType guardEventType(ServiceEvent id) {
    switch (id) {
        case kEventConflict:
            return GuardEventType::Error;
        case kEventNotInEffect:
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
        case GatewayState::Unsettled:
            break;
    }
    return std::nullopt;
}

uint32_t msUntil(uint32_t nowMs, uint32_t dueMs) {
    const uint32_t ahead = dueMs - nowMs;
    return ahead > 0x7FFFFFFFu ? 0 : ahead;
}
