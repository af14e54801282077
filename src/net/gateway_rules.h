#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/address_text.h"

// What the program takes from one network adapter as the system lists it.
struct AdapterInfo {
    std::string mac;        // first six bytes of the hardware address, as formatMacText gives them
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

// Windows reports "0.0.0.0" for an adapter without an address or gateway: such a text counts as empty.
bool isUnsetAddress(std::string_view text);

// The local adapter among the system's list, in its order: the first one with both an address and a
// gateway; when none has both, the last of the list. None for an empty list.
std::optional<AdapterInfo> selectLocalAdapter(const std::vector<AdapterInfo>& adapters);

// The hardware address of the first ARP row whose address equals addr (network byte order, as
// inet_addr gives it): the first six bytes of the row. Type, interface and address length do not matter.
std::optional<MacBytes> matchArpRow(const std::vector<ArpRow>& rows, uint32_t addr);
