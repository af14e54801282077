#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/gateway_watch.h"
#include "service/service_names.h"

// How long the service waits before it reads settings again that it could not use.
constexpr uint32_t kInvalidSettingsRetryMs = 60000;

// The first of the machine key's values that keeps the service from pinning ("timer", "gwip" or "gwmac"), or
// null when all three are usable. The checks are the window's: no interval stored (0), an address that is not
// dotted IPv4, a MAC that is no host's (null, broadcast, group) or not a MAC at all. An interval outside 1 to
// 3600 stands for the default, as it does in the window (intervalInForce).
const char* invalidGuardSetting(uint32_t timer, const std::string& gwip, const std::string& gwmac);

// One entry of the service's event log: its id and the texts that fill the message's inserts.
struct GuardEvent {
    ServiceEvent id;
    std::vector<std::string> inserts;
};

enum class GuardEventType { Information, Warning, Error };
GuardEventType guardEventType(ServiceEvent id);

// The entry that tells a verdict over the gateway gwip pinned to pinned; none while unsettled.
std::optional<GuardEvent> verdictEvent(const GatewayVerdict& verdict, const std::string& gwip, const MacBytes& pinned);

// Milliseconds from now until due on a clock that wraps (GetTickCount): 0 once due has passed. A due time
// more than half the clock's range ahead counts as passed.
uint32_t msUntil(uint32_t nowMs, uint32_t dueMs);
