#pragma once
#include <optional>
#include <string>

#include "net/address_text.h"

// Pings the gateway so that the system resolves it, waits one second and looks its hardware address up
// in the ARP cache. None when the cache has no row for it, or when the text is not a usable IPv4 address
// (nothing is pinged then).
std::optional<MacBytes> resolveGatewayMac(const std::string& gateway);
