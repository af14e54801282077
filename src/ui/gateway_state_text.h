#pragma once
#include <cstdint>
#include <string>

#include "net/gateway_watch.h"

// The notification-area tip for a verdict on the watched gateway, from the pattern of its state in the window's
// language: the gateway's address, then for Protected the pinned MAC, for Conflict the MAC that answered and the
// pinned one, for Away the router that answers, for Silent the pinned MAC; for RouteElsewhere the address the
// default route goes through, then the pinned gateway. Empty while unsettled, and for an address text too long to be
// one (the watch takes only dotted addresses).
std::string gatewayStateText(const GatewayVerdict& verdict,
                             const std::string& gwip,
                             const MacBytes& pinned,
                             const std::string& pattern);
