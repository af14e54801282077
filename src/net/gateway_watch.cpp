#include "net/gateway_watch.h"

namespace {

// An incomplete entry (a request sent, no answer yet) carries no address worth comparing; under Wine it is a
// row of zeros.
std::optional<MacBytes> answeredMac(const ArpRow& row) {
    std::optional<MacBytes> mac = macOfRow(row);
    if (mac && *mac == MacBytes{})
        return std::nullopt;
    return mac;
}

// Addresses no single host owns: their rows name nobody.
bool sharedAddress(uint32_t addrNetworkOrder) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&addrNetworkOrder);
    return (bytes[0] & 0xF0) == 0xE0 || addrNetworkOrder == 0xFFFFFFFFu || addrNetworkOrder == 0;
}

bool elapsed(uint32_t sinceMs, uint32_t nowMs, uint32_t spanMs) {
    return static_cast<uint32_t>(nowMs - sinceMs) >= spanMs;
}

}  // namespace

bool verdictWorthTelling(const GatewayVerdict& told, const GatewayVerdict& now) {
    if (now.state == GatewayState::Unsettled)
        return false;
    if (now.state != told.state)
        return true;
    if (now.state == GatewayState::RouteElsewhere)
        return now.routedVia != told.routedVia;
    return (now.state == GatewayState::Conflict || now.state == GatewayState::Away) && now.answered != told.answered;
}

std::vector<uint32_t> suspectsOf(const std::vector<ArpRow>& rows,
                                 const MacBytes& answered,
                                 uint32_t gatewayAddr,
                                 uint32_t interfaceIndex) {
    std::vector<uint32_t> suspects;
    for (const ArpRow& row : rows) {
        if (suspects.size() >= kMaxSuspects)
            break;
        if (row.index != interfaceIndex || row.addr == gatewayAddr || row.type == kArpTypeInvalid ||
            sharedAddress(row.addr))
            continue;
        const std::optional<MacBytes> mac = answeredMac(row);
        if (mac && *mac == answered && isHostMac(*mac))
            suspects.push_back(row.addr);
    }
    return suspects;
}

void GatewayWatch::bindCommandRan(uint32_t nowMs) {
    lastBindMs_ = nowMs;
    if (!firstUnconfirmedBindMs_)
        firstUnconfirmedBindMs_ = nowMs;
}

bool GatewayWatch::repinDue(uint32_t nowMs) {
    if (lastBindMs_ && !elapsed(*lastBindMs_, nowMs, spacingMs_))
        return false;
    // Gaps of 2, 4, 8 ... seconds: the first re-pin keeps the shortest gap before the next one.
    if (repinned_)
        spacingMs_ = spacingMs_ >= longestSpacingMs_ / 2 ? longestSpacingMs_ : spacingMs_ * 2;
    repinned_ = true;
    lastBindMs_ = nowMs;
    return true;
}

GatewayVerdict GatewayWatch::check(const std::vector<ArpRow>& rows, uint32_t interfaceIndex, uint32_t nowMs) {
    GatewayVerdict verdict;
    bool pinnedStatic = false;
    for (const ArpRow& row : rows) {
        if (row.addr != addr_ || row.index != interfaceIndex)
            continue;
        const std::optional<MacBytes> mac = answeredMac(row);
        if (!mac)
            continue;
        if (*mac != pinned_) {
            // Another MAC on the interface outweighs a good static row there.
            verdict.state = GatewayState::Conflict;
            verdict.answered = *mac;
            break;
        }
        pinnedStatic = pinnedStatic || row.type == kArpTypeStatic;
    }

    if (verdict.state == GatewayState::Conflict) {
        verdict.suspects = suspectsOf(rows, verdict.answered, addr_, interfaceIndex);
        verdict.rebind = repinDue(nowMs);
    } else if (pinnedStatic) {
        verdict.state = GatewayState::Protected;
        firstUnconfirmedBindMs_.reset();
        spacingMs_ = kRebindSpacingMs;
        repinned_ = false;
    } else if (firstUnconfirmedBindMs_ && elapsed(*firstUnconfirmedBindMs_, nowMs, kBindSettleMs)) {
        verdict.state = GatewayState::NotInEffect;
    }
    return verdict;
}
