#include "net/arp_match.h"

std::optional<MacBytes> matchArpRow(const std::vector<ArpRow>& rows, uint32_t addr) {
    for (const ArpRow& row : rows) {
        if (row.addr != addr)
            continue;
        MacBytes mac;
        for (size_t i = 0; i < mac.size(); ++i)
            mac[i] = row.physAddr[i];
        return mac;
    }
    return std::nullopt;
}
