#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/address_text.h"
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
};

struct GatewayVerdict {
    GatewayState state = GatewayState::Unsettled;
    MacBytes answered{};  // the other MAC of a conflict
    bool rebind = false;  // the caller runs the bind command now, and reports it if it started
};

// Whether a verdict is news against the one told last: another state, or another MAC answering in a
// conflict. No verdict is never news, so what was told stays.
bool verdictWorthTelling(const GatewayVerdict& told, const GatewayVerdict& now);

// Classifies the gateway's ARP rows against the pinned pair. Times are milliseconds of a clock that may
// wrap (GetTickCount); only differences are used.
class GatewayWatch {
  public:
    // None unless the texts are an IPv4 address and a pinnable MAC (pinnableMac). The conflict's re-pinning
    // backs off up to bindPeriodMs (never below kRebindSpacingMs).
    static std::optional<GatewayWatch> forBinding(const std::string& gwip,
                                                  const std::string& gwmac,
                                                  uint32_t bindPeriodMs);

    // A bind command was started (one that could not be started is no attempt to judge).
    void bindCommandRan(uint32_t nowMs);
    // Judges only the rows of interfaceIndex, the interface that routes to the gateway: a row of another
    // adapter may be another network's host of the same address.
    GatewayVerdict check(const std::vector<ArpRow>& rows, uint32_t interfaceIndex, uint32_t nowMs);

    uint32_t address() const { return addr_; }
    const MacBytes& pinned() const { return pinned_; }

  private:
    GatewayWatch(uint32_t addr, const MacBytes& pinned, uint32_t longestSpacingMs)
        : addr_(addr), pinned_(pinned), longestSpacingMs_(longestSpacingMs) {}

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
