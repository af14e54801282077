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

std::optional<MacBytes> macOfRow(const ArpRow& row) {
    if (row.type == kArpTypeInvalid || row.physAddrLen != 6)
        return std::nullopt;
    MacBytes mac;
    for (size_t i = 0; i < mac.size(); ++i)
        mac[i] = row.physAddr[i];
    return mac;
}

std::optional<MacBytes> matchArpRow(const std::vector<ArpRow>& rows, uint32_t addr, uint32_t interfaceIndex) {
    for (const ArpRow& row : rows) {
        if (row.addr != addr || row.index != interfaceIndex)
            continue;
        std::optional<MacBytes> mac = macOfRow(row);
        if (mac && isHostMac(*mac))
            return mac;
    }
    return std::nullopt;
}
