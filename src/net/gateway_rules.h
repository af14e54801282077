#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/address_text.h"

// What the program takes from one network adapter as the system lists it.
struct AdapterInfo {
    MacBytes mac{};         // the first six bytes of the hardware address
    std::string ipAddress;  // the first address of the adapter
    std::string gateway;    // the first gateway of the adapter
    uint32_t index = 0;     // its interface, as the ARP rows name it
};

// The link of one interface as the system reports it (GetIfEntry2), polled at each watch: the change notifications
// cannot be relied on (Wine's never call back).
struct InterfaceLink {
    bool connected = false;  // the media is connected (MediaConnectState)
    // The system's own trace of the last change of the interface's state, for a drop shorter than a poll: any
    // value that changes whenever the link went down and up; 0 where the system keeps none.
    uint64_t lastChange = 0;
};

// One row of the ARP cache. addr is in network byte order, as inet_addr returns it.
struct ArpRow {
    uint32_t index = 0;
    uint32_t physAddrLen = 0;
    uint8_t physAddr[8] = {};
    uint32_t addr = 0;
    uint32_t type = 0;
};

// The row types of the ARP cache that matter here (MIB_IPNET_TYPE_INVALID, _STATIC).
constexpr uint32_t kArpTypeInvalid = 2;
constexpr uint32_t kArpTypeStatic = 4;

// The six bytes of a row that carries a hardware address: none for an invalid (incomplete) row or another
// address length.
std::optional<MacBytes> macOfRow(const ArpRow& row);

// Windows reports "0.0.0.0" for an adapter without an address or gateway: such a text counts as empty.
bool isUnsetAddress(std::string_view text);

// The local adapter among the system's list, in its order: the first one with both an address and a
// gateway; when none has both, the last of the list. None for an empty list.
std::optional<AdapterInfo> selectLocalAdapter(const std::vector<AdapterInfo>& adapters);

// The hardware address of the first ARP row of the interface whose address equals addr (network byte order,
// as inet_addr gives it) and that holds a host's MAC (isHostMac) of six bytes. An invalid row, or the
// zeros Wine shows for an unanswered entry, teaches nothing; neither does a row of another interface, which
// may be another network's host of the same address.
std::optional<MacBytes> matchArpRow(const std::vector<ArpRow>& rows, uint32_t addr, uint32_t interfaceIndex);
