#pragma once
#include <cstdint>
#include <string>

// What the program takes from one network adapter as the system lists it.
struct AdapterInfo {
    std::string mac;        // first six bytes of the hardware address, "%02X-%02X-%02X-%02X-%02X-%02X"
    std::string ipAddress;  // the first address of the adapter
    std::string gateway;    // the first gateway of the adapter
};

// One row of the ARP cache. addr is in network byte order, as inet_addr returns it.
struct ArpRow {
    uint32_t index = 0;
    uint32_t physAddrLen = 0;
    uint8_t physAddr[8] = {};
    uint32_t addr = 0;
    uint32_t type = 0;
};
