#pragma once
#include <cstdint>

#include "alert/gateway_news.h"
#include "service/guard_rules.h"

// Where the keeper's news goes: the tray in the window, the event log in the service, syslog in both.
class NewsOutlet {
  public:
    virtual ~NewsOutlet() = default;
    // A verdict worth telling; turned: another state than the one told before.
    virtual void tell(const GatewayNews& news, bool turned) = 0;
    // The program's own events: the service started or stopped, a setting that keeps the binding from running.
    virtual void tellEvent(const GuardEvent&) {}
    // At every watch, for what an outlet does on its own clock.
    virtual void tick(uint32_t /*nowMs*/) {}
};
