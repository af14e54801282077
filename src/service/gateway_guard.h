#pragma once
#include <cstdint>

#include "net/gateway_keeper.h"
#include "service/guard_rules.h"

// Where the guard tells what it saw: the event log in the service, a recorder in tests.
class GuardOutlet {
  public:
    virtual ~GuardOutlet() = default;
    virtual void tell(const GuardEvent& event) = 0;
};

// The service's work without a window: the keeper driven by one wait, with the machine key's gateway pair pinned at
// once and then every interval (the key read again each time), and its news told as events.
class GatewayGuard {
  public:
    explicit GatewayGuard(GuardOutlet& outlet) : outlet_(outlet) {}

    // Reads the machine key again and binds at once: at start and when the settings changed. Returns the
    // milliseconds until the next due work, as runDue does.
    uint32_t reload();
    // Runs whatever is due now: the bind at its interval, which reads the key again first, and the watch.
    uint32_t runDue();
    // Back from sleep: the pin may be gone, the network another.
    void networkChanged() { keeper_.networkChanged(); }

  private:
    void bindWithKey();
    void tell(const KeeperStep& step);

    GuardOutlet& outlet_;
    GatewayKeeper keeper_;
};
