#include "net/adapter_selection.h"

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
