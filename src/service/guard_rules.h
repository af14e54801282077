#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alert/gateway_news.h"
#include "service/service_names.h"

// One entry of the service's event log: its id and the texts that fill the message's inserts.
struct GuardEvent {
    ServiceEvent id;
    std::vector<std::string> inserts;
};

enum class GuardEventType { Information, Warning, Error };
// A verdict's type follows its severity in the news table; the service's own events are information, a setting
// that keeps the binding from running a warning.
GuardEventType guardEventType(ServiceEvent id);

// The entry that tells a verdict; none while unsettled.
std::optional<GuardEvent> verdictEvent(const GatewayNews& news);
