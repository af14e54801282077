#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "net/gateway_watch.h"

// Window timer of the main window that reads the ARP cache back; timer 1 is the binding's.
constexpr uintptr_t kWatchTimerId = 2;

// The main window's gateway watch: while a binding is configured, timer 2 reads the ARP table every two
// seconds and classifies the gateway's row. The window keeps one as a member.
class WatchTimer {
  public:
    // Watches the pair when it makes a binding with a positive interval, as the binding timer would bind
    // it; otherwise there is no watch. Either way the previous watch ends.
    void start(HWND window, int32_t interval, const std::string& gwip, const std::string& gwmac);
    void stop(HWND window);

    // The binding timer started the bind command just now.
    void bindCommandRan();

    // Timer 2: the verdict of pollGateway. On a conflict the bind command runs again, backing off, through the
    // binding's own command (the binding timer keeps its schedule), unless mayRebind is false (the service
    // binds). None for other timer ids and while nothing is watched.
    std::optional<GatewayVerdict> OnTimer(UINT_PTR id, bool mayRebind = true);

    const std::string& gwip() const { return gwip_; }
    const MacBytes* pinned() const { return watch_ ? &watch_->pinned() : nullptr; }

  private:
    std::optional<GatewayWatch> watch_;
    std::string gwip_;
    std::string gwmac_;
};
