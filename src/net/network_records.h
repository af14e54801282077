#pragma once
#include <cstdint>
#include <string>

// One network adapter as the system lists it. Only ipAddress, gateway and mac are used.
struct AdapterInfo {
    uint32_t index = 0;
    std::string name;
    std::string description;
    uint32_t type = 0;
    std::string mac;  // first six bytes of the hardware address, "%02X-%02X-%02X-%02X-%02X-%02X"
    std::string ipAddress;
    std::string ipMask;
    std::string gateway;
    uint32_t haveWins = 0;
    std::string primaryWins;
    std::string secondaryWins;
    uint32_t dhcpEnabled = 0;
    std::string dhcpServer;
    int32_t leaseObtained = 0;
    int32_t leaseExpires = 0;
};

// One row of the ARP cache. addr is in network byte order, as inet_addr returns it.
struct ArpRow {
    uint32_t index = 0;
    uint32_t physAddrLen = 0;
    uint8_t physAddr[8] = {};
    uint32_t addr = 0;
    uint32_t type = 0;
};
