#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/address_text.h"
#include "net/binding_settings.h"
#include "net/gateway_rules.h"

// How often the window reads the ARP cache while a binding runs, and how long a bind command may take
// before a missing static entry means it did not work.
constexpr uint32_t kWatchPeriodMs = 2000;
constexpr uint32_t kBindSettleMs = 3000;
// A conflict re-runs the bind command at once, but never sooner than this after the previous one; while it
// lasts, each gap doubles up to the binding's own period.
constexpr uint32_t kRebindSpacingMs = 2000;

enum class GatewayState {
    Unsettled,    // no verdict yet: a bind command ran too recently to tell, none ran, or the system cannot say
    Protected,    // a static row for the gateway with the pinned MAC
    NotInEffect,  // no such row although a bind command ran long enough ago
    Conflict,     // a row for the gateway with another MAC
    Away,         // the pinned gateway is not on this network: another router answers for its address, unpinned
    Silent,       // pinned, but the gateway does not answer through its pin: down, replaced or attacked
    RouteElsewhere,  // pinned, but the interface's default route goes through another address
};

// At most this many suspects are named: enough to find the machine, not a table to page through.
constexpr size_t kMaxSuspects = 4;

struct GatewayVerdict {
    GatewayState state = GatewayState::Unsettled;
    MacBytes answered{};  // the other MAC of a conflict, or the router that answers while away
    // In a conflict: the other addresses whose rows on the gateway's interface carry the answering MAC (network
    // byte order), the likely owners of that MAC.
    std::vector<uint32_t> suspects;
    uint32_t routedVia = 0;  // RouteElsewhere: the address the default route goes through (network byte order)
    bool rebind = false;     // the caller runs the bind command now, and reports it if it started
};

// Whether a verdict is news against the one told last: another state, another MAC answering in a conflict or
// while away, or another address the default route goes through. No verdict is never news, so what was told stays.
bool verdictWorthTelling(const GatewayVerdict& told, const GatewayVerdict& now);

// The addresses other than the gateway's whose rows on the interface carry the answering MAC: not incomplete,
// multicast or broadcast rows; at most kMaxSuspects, in the table's order.
std::vector<uint32_t> suspectsOf(const std::vector<ArpRow>& rows,
                                 const MacBytes& answered,
                                 uint32_t gatewayAddr,
                                 uint32_t interfaceIndex);

// Classifies the gateway's ARP rows against the pinned pair. Times are milliseconds of a clock that may
// wrap (GetTickCount); only differences are used.
class GatewayWatch {
  public:
    // Watches the settings' pair. The conflict's re-pinning backs off up to their period (never below
    // kRebindSpacingMs).
    explicit GatewayWatch(const BindingSettings& settings)
        : addr_(settings.address),
          pinned_(settings.mac),
          longestSpacingMs_(settings.periodMs > kRebindSpacingMs ? settings.periodMs : kRebindSpacingMs) {}

    // A bind command was started (one that could not be started is no attempt to judge).
    void bindCommandRan(uint32_t nowMs);
    // Binds before the interface to the gateway was up prove nothing: "not in effect" waits for one after it.
    void forgetBinds() { firstUnconfirmedBindMs_.reset(); }
    // Whether a re-pin may run now, with the conflict's back-off (2, 4, 8 ... s up to the binding's period, from
    // 2 s again once pinned); a true answer counts as the re-pin.
    bool repinDue(uint32_t nowMs);
    // Judges only the rows of interfaceIndex, the interface that routes to the gateway: a row of another
    // adapter may be another network's host of the same address.
    GatewayVerdict check(const std::vector<ArpRow>& rows, uint32_t interfaceIndex, uint32_t nowMs);

    uint32_t address() const { return addr_; }
    const MacBytes& pinned() const { return pinned_; }

  private:
    uint32_t addr_;  // network byte order, as the rows hold it
    MacBytes pinned_;
    uint32_t longestSpacingMs_;
    // The latest bind command or conflict re-pin, whichever came last: the spacing counts from it.
    std::optional<uint32_t> lastBindMs_;
    // The first bind command since the last "protected" verdict: the settling counts from it, so that binds
    // closer together than kBindSettleMs still come to a verdict.
    std::optional<uint32_t> firstUnconfirmedBindMs_;
    uint32_t spacingMs_ = kRebindSpacingMs;  // the gap before the next re-pin
    bool repinned_ = false;                  // a re-pin ran since the last "protected" verdict
};
