#include "net/watch_timer.h"

#include "net/binding.h"
#include "net/gateway_poll.h"
#include "sys/seams.h"

void WatchTimer::start(HWND window, int32_t interval, const std::string& gwip, const std::string& gwmac) {
    stop(window);
    if (!bindingConfigured(interval, gwip, gwmac))
        return;
    watch_ = GatewayWatch::forBinding(gwip, gwmac, bindPeriodMs(interval));
    if (!watch_)
        return;
    gwip_ = gwip;
    gwmac_ = gwmac;
    // GetIpNetTable answers at once, so reading it on the window's own thread never keeps the window waiting.
    SetTimer(window, kWatchTimerId, kWatchPeriodMs, nullptr);
}

void WatchTimer::stop(HWND window) {
    KillTimer(window, kWatchTimerId);
    watch_.reset();
    gwip_.clear();
    gwmac_.clear();
}

void WatchTimer::bindCommandRan() {
    if (watch_)
        watch_->bindCommandRan(seams().tickCount());
}

std::optional<GatewayVerdict> WatchTimer::OnTimer(UINT_PTR id, bool mayRebind) {
    if (id != kWatchTimerId || !watch_)
        return std::nullopt;
    return pollGateway(*watch_, gwip_, gwmac_, mayRebind);
}
