#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/gateway_watch.h"
#include "service/guard_rules.h"

// Where the guard tells what it saw: the event log in the service, a recorder in tests.
class GuardOutlet {
  public:
    virtual ~GuardOutlet() = default;
    virtual void tell(const GuardEvent& event) = 0;
};

// The service's work without a window: the machine key's gateway pair pinned at once and then every interval,
// the ARP cache read back every two seconds with the same watch as the window's, each change of state told
// once. The caller waits between calls for as long as they return (milliseconds until the next due work).
class GatewayGuard {
  public:
    explicit GatewayGuard(GuardOutlet& outlet) : outlet_(outlet) {}

    // Reads the machine key again and binds at once: at start and when the settings changed.
    uint32_t reload();
    // Runs whatever is due now: the bind at its interval, which reads the key again first, and the watch.
    uint32_t runDue();

  private:
    uint32_t untilNextDue(uint32_t nowMs) const;

    GuardOutlet& outlet_;
    std::string gwip_;
    std::string gwmac_;
    uint32_t periodMs_ = 0;
    std::optional<GatewayWatch> watch_;
    GatewayVerdict told_;                 // the last verdict told; Unsettled until one is
    const char* toldInvalid_ = nullptr;   // the value the last settings warning named
    uint32_t nextBindMs_ = 0;
    uint32_t nextWatchMs_ = 0;
};
