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
// A conflict re-runs the bind command at once, but never sooner than this after the previous one.
constexpr uint32_t kRebindSpacingMs = 2000;

enum class GatewayState {
    Unsettled,    // no verdict yet: a bind command ran too recently to tell, or none ran
    Protected,    // a static row for the gateway with the pinned MAC
    NotInEffect,  // no such row although a bind command ran long enough ago
    Conflict,     // a row for the gateway with another MAC
};

struct GatewayVerdict {
    GatewayState state = GatewayState::Unsettled;
    MacBytes answered{};  // the other MAC of a conflict
    bool rebind = false;  // the caller runs the bind command now (the watch counts it as run)
};

// Classifies the gateway's ARP rows against the pinned pair. Times are milliseconds of a clock that may
// wrap (GetTickCount); only differences are used.
class GatewayWatch {
  public:
    // None unless the texts are an IPv4 address and a MAC address.
    static std::optional<GatewayWatch> forBinding(const std::string& gwip, const std::string& gwmac);

    void bindCommandRan(uint32_t nowMs);
    GatewayVerdict check(const std::vector<ArpRow>& rows, uint32_t nowMs);

    const MacBytes& pinned() const { return pinned_; }

  private:
    GatewayWatch(uint32_t addr, const MacBytes& pinned) : addr_(addr), pinned_(pinned) {}

    uint32_t addr_;  // network byte order, as the rows hold it
    MacBytes pinned_;
    std::optional<uint32_t> lastBindMs_;
};
