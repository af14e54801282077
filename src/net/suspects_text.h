#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An address in network byte order (as the ARP rows hold it) as dotted decimal text.
std::string ipv4Text(uint32_t addrNetworkOrder);

// The suspects of a conflict joined by ", ", or noneText when there are none.
std::string suspectsText(const std::vector<uint32_t>& suspects, const std::string& noneText);
