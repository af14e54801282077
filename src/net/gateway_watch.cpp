#include "net/gateway_watch.h"

#include <cstring>

namespace {

constexpr uint32_t kArpTypeInvalid = 2;
constexpr uint32_t kArpTypeStatic = 4;

// Incomplete entries (a request sent, no answer yet) carry no address worth comparing.
bool carriesMac(const ArpRow& row) {
    return row.type != kArpTypeInvalid && row.physAddrLen == 6;
}

MacBytes macOf(const ArpRow& row) {
    MacBytes mac;
    memcpy(mac.data(), row.physAddr, mac.size());
    return mac;
}

}  // namespace

std::optional<GatewayWatch> GatewayWatch::forBinding(const std::string& gwip, const std::string& gwmac) {
    if (!isDottedIpv4Text(gwip) || !isMacText(gwmac))
        return std::nullopt;
    std::optional<Ipv4Bytes> ip = parseIpv4Bytes(gwip);
    std::optional<MacBytes> mac = parseMacBytes(gwmac);
    if (!ip || !mac)
        return std::nullopt;
    // The rows hold the address bytes in text order in memory, whatever the host order.
    uint32_t addr;
    memcpy(&addr, ip->data(), sizeof addr);
    return GatewayWatch(addr, *mac);
}

void GatewayWatch::bindCommandRan(uint32_t nowMs) {
    lastBindMs_ = nowMs;
}

GatewayVerdict GatewayWatch::check(const std::vector<ArpRow>& rows, uint32_t nowMs) {
    GatewayVerdict verdict;
    bool pinnedStatic = false;
    for (const ArpRow& row : rows) {
        if (row.addr != addr_ || !carriesMac(row))
            continue;
        const MacBytes mac = macOf(row);
        if (mac != pinned_) {
            // Another MAC anywhere outweighs a good static row on another interface.
            verdict.state = GatewayState::Conflict;
            verdict.answered = mac;
            break;
        }
        pinnedStatic = pinnedStatic || row.type == kArpTypeStatic;
    }

    const bool settled = lastBindMs_ && static_cast<uint32_t>(nowMs - *lastBindMs_) >= kBindSettleMs;
    if (verdict.state == GatewayState::Conflict) {
        verdict.rebind = !lastBindMs_ || static_cast<uint32_t>(nowMs - *lastBindMs_) >= kRebindSpacingMs;
        if (verdict.rebind)
            bindCommandRan(nowMs);
    } else if (pinnedStatic) {
        verdict.state = GatewayState::Protected;
    } else if (settled) {
        verdict.state = GatewayState::NotInEffect;
    }
    return verdict;
}
