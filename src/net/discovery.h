#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "net/gateway_rules.h"

// The local adapter from the system's adapter list (see selectLocalAdapter); none when the list cannot
// be read or is empty. The caller owns the returned record.
std::optional<AdapterInfo> getLocalAdapter();

// Pings the gateway so that the system resolves it, waits one second and looks its hardware address up
// in the ARP cache, among the rows of the given interface (see matchArpRow). None when the cache cannot be
// read or has no such row for it, or when the text is not a usable IPv4 address (nothing is pinged then).
std::optional<MacBytes> resolveGatewayMac(const std::string& gateway, uint32_t interfaceIndex);

// What discovery found for the main window. A part whose flag is false stays as the window has it.
struct NetworkDiscovery {
    bool localIpKnown = false;
    Ipv4Bytes localIp{};  // local IP address control 1009
    bool localMacKnown = false;
    std::array<std::string, 6> localMac;  // 1010, 1011, 1012, 1013, 1018, 1019
    bool gatewayIpKnown = false;
    Ipv4Bytes gatewayIp{};  // gateway IP address control 1001
    bool gatewayMacKnown = false;
    std::array<std::string, 6> gatewayMac;  // 1002 to 1007
    std::string gwmac;  // the window's gwmac afterwards: as given (formatMacText's form once read), or learnt
};

// Finds the local adapter and the gateway for the window's stored gwip and gwmac. The gateway is gwip, or
// the adapter's own when gwip is empty; its MAC is looked up (ping, one second, the adapter's rows of the ARP
// cache) only when gwmac is empty. Each step that fails leaves the later parts unknown.
NetworkDiscovery discoverNetwork(const std::string& gwip, const std::string& gwmac);
