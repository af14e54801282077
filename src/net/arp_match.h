#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "net/address_text.h"
#include "net/network_records.h"

// The hardware address of the first ARP row whose address equals addr (network byte order, as
// inet_addr gives it): the first six bytes of the row. Type, interface and address length do not matter.
std::optional<MacBytes> matchArpRow(const std::vector<ArpRow>& rows, uint32_t addr);
