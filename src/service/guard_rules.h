#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/gateway_keeper.h"
#include "service/service_names.h"

// One entry of the service's event log: its id and the texts that fill the message's inserts.
struct GuardEvent {
    ServiceEvent id;
    std::vector<std::string> inserts;
};

enum class GuardEventType { Information, Warning, Error };
GuardEventType guardEventType(ServiceEvent id);

// The entry that tells a verdict over the gateway gwip pinned to pinned; none while unsettled.
std::optional<GuardEvent> verdictEvent(const GatewayVerdict& verdict, const std::string& gwip, const MacBytes& pinned);
