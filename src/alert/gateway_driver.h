#pragma once
#include <optional>
#include <vector>

#include "alert/news_outlet.h"
#include "config/settings_store.h"
#include "net/gateway_keeper.h"

// The keeper driven on the system, for the window and the service alike: where its settings come from, what an
// earlier run learnt of the gateway, and the outlets its news goes to. The window drives it with its two timers, the
// service with its one wait.
class GatewayDriver {
  public:
    explicit GatewayDriver(SettingsRoot root) : root_(root) {}
    GatewayDriver(const GatewayDriver&) = delete;
    GatewayDriver& operator=(const GatewayDriver&) = delete;

    void setOutlets(std::vector<NewsOutlet*> outlets) { outlets_ = std::move(outlets); }
    GatewayKeeper& keeper() { return keeper_; }
    const GatewayKeeper& keeper() const { return keeper_; }

    // Keeps the settings (the same ones keep what was told), with what an earlier run learnt of this gateway and
    // whether the machine roams; the first bind firstBindInMs from now.
    void configure(const BindingCheck& check, uint32_t firstBindInMs);
    // The binding's clock ran out: bound and told.
    KeeperStep bindDue();
    // The watch's clock ran out, or its echo came back (see runWatchDue): judged, carried out and told.
    KeeperStep watchDue(std::optional<bool> echoAnswered, const ServiceWord& service = {});
    // The service's watch: the echo the keeper asks for is waited for on the caller's thread.
    KeeperStep watchWithEcho();
    // Tells every outlet one of the program's own events.
    void tellEvent(const GuardEvent& event);
    // What the keeper told last, as news.
    GatewayNews toldNews() const;

  private:
    void tell(const KeeperStep& step);

    SettingsRoot root_;
    GatewayKeeper keeper_;
    std::vector<NewsOutlet*> outlets_;
};
