#pragma once
#include <cstdint>
#include <string>

#include "net/gateway_watch.h"

// The notification-area tip for a verdict on the watched gateway, UTF-8 in the language; empty while
// unsettled, and for an address text too long to be one (the watch takes only dotted addresses).
std::string gatewayStateText(const GatewayVerdict& verdict,
                             const std::string& gwip,
                             const MacBytes& pinned,
                             int32_t language);
