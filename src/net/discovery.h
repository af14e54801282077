#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "net/address_text.h"

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
    std::string gwmac;                      // the window's gwmac afterwards: as given, or learnt from the ARP cache
};

// Finds the local adapter and the gateway for the window's stored gwip and gwmac. The gateway is gwip, or
// the adapter's own when gwip is empty; its MAC is looked up (ping, one second, ARP cache) only when gwmac
// is empty. Each step that fails leaves the later parts unknown.
NetworkDiscovery discoverNetwork(const std::string& gwip, const std::string& gwmac);
