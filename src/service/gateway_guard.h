#pragma once
#include <cstdint>

#include "alert/gateway_driver.h"
#include "alert/syslog_outlet_win.h"
#include "service/guard_rules.h"

// Where the guard's events are written: the event log in the service, a recorder in tests.
class GuardOutlet {
  public:
    virtual ~GuardOutlet() = default;
    virtual void tell(const GuardEvent& event) = 0;
};

// The service's work without a window: the keeper driven by one wait, with the machine key's gateway pair pinned at
// once and then every interval (the key read again each time), and its news told to the event log, to the users'
// copies beside it through the machine key, and to the syslog collector the key names.
class GatewayGuard {
  public:
    explicit GatewayGuard(GuardOutlet& log);

    // The service started: told, then as reload.
    uint32_t start();
    // Reads the machine key again and binds at once: at start and when the settings changed. Returns the
    // milliseconds until the next due work, as runDue does.
    uint32_t reload();
    // Runs whatever is due now: the bind at its interval, which reads the key again first, and the watch.
    uint32_t runDue();
    // Back from sleep: the pin may be gone, the network another.
    void networkChanged() { driver_.keeper().networkChanged(); }
    // The service stops: told, and what waits for the collector is sent.
    void stop();

  private:
    // The event log's entries of the news.
    class LogOutlet : public NewsOutlet {
      public:
        explicit LogOutlet(GuardOutlet& log) : log_(log) {}
        void tell(const GatewayNews& news, bool turned) override;
        void tellEvent(const GuardEvent& event) override { log_.tell(event); }

      private:
        GuardOutlet& log_;
    };
    // The service's word in the machine key for the users' copies beside it: away and silent.
    class WordOutlet : public NewsOutlet {
      public:
        void tell(const GatewayNews& news, bool turned) override;
    };

    void bindWithKey();

    LogOutlet log_;
    WordOutlet word_;
    SyslogOutlet syslog_;
    GatewayDriver driver_{SettingsRoot::Machine};
    bool syslogRefusalTold_ = false;
};
