#include "net/gateway_rules.h"

bool isUnsetAddress(std::string_view text) {
    return text.empty() || text == "0.0.0.0";
}

std::optional<AdapterInfo> selectLocalAdapter(const std::vector<AdapterInfo>& adapters) {
    const AdapterInfo* held = nullptr;
    for (const AdapterInfo& adapter : adapters) {
        if (!held || isUnsetAddress(held->ipAddress) || isUnsetAddress(held->gateway))
            held = &adapter;
    }
    if (!held)
        return std::nullopt;
    return *held;
}

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
