#pragma once
#include <string>

#include "net/gateway_watch.h"

// One look at the gateway, with or without a window: reads the ARP table and the interface that routes to
// the gateway through the seams, judges the watched pair, and re-runs the bind command for gwip and gwmac
// when the verdict says so and mayRebind allows it (counted as run only when it started). Undecided when the table cannot be read or
// no interface routes to the gateway: an empty table would read as "not in effect".
GatewayVerdict pollGateway(GatewayWatch& watch, const std::string& gwip, const std::string& gwmac, bool mayRebind = true);
