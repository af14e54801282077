#include "net/gateway_keeper_win.h"

#include "net/binding.h"
#include "sys/seams.h"

namespace {

// The adapter list costs more to read than the ARP table: the default route is read again only this often, and only
// while the pin holds (the only time it is judged).
constexpr uint32_t kDefaultRouteReadPeriodMs = 10000;

// The process's one keeper's last reading of it.
struct DefaultRouteReading {
    std::optional<uint32_t> readAtMs;
    uint32_t interfaceIndex = 0;
    std::optional<uint32_t> address;
};
DefaultRouteReading g_defaultRoute;

// The address the interface's default route goes through, as the adapter list gives it; none without one.
std::optional<uint32_t> readDefaultGateway(uint32_t interfaceIndex) {
    std::vector<AdapterInfo> adapters;
    if (!seams().readAdapters(adapters))
        return std::nullopt;
    for (const AdapterInfo& adapter : adapters) {
        if (adapter.index != interfaceIndex || isUnsetAddress(adapter.gateway))
            continue;
        const std::optional<Ipv4Bytes> bytes = parseIpv4Bytes(adapter.gateway);
        if (!bytes)
            return std::nullopt;
        uint32_t address = 0;
        for (size_t i = 0; i < bytes->size(); ++i)
            address |= static_cast<uint32_t>((*bytes)[i]) << (8 * i);  // network byte order, as the rows hold it
        return address;
    }
    return std::nullopt;
}

std::optional<uint32_t> defaultGatewayOf(const GatewaySighting& seen, const BindingSettings& settings) {
    if (!holdsPinnedMac(seen, settings, true))
        return std::nullopt;
    DefaultRouteReading& last = g_defaultRoute;
    const uint32_t now = seams().tickCount();
    if (!last.readAtMs || last.interfaceIndex != seen.interfaceIndex || now - *last.readAtMs >= kDefaultRouteReadPeriodMs)
        last = {now, seen.interfaceIndex, readDefaultGateway(seen.interfaceIndex)};
    return last.address;
}

}  // namespace

void carryOut(GatewayKeeper& keeper, const KeeperStep& step) {
    if (!keeper.settings())
        return;
    const BindingSettings& settings = *keeper.settings();
    if (step.unpin)
        runRemoveCommand(settings.gwip);
    if (step.bind && runBindCommand(settings))
        keeper.bindStarted(seams().tickCount());
}

KeeperStep runBindDue(GatewayKeeper& keeper) {
    const KeeperStep step = keeper.bindDue(seams().tickCount());
    carryOut(keeper, step);
    return step;
}

KeeperStep runWatchDue(GatewayKeeper& keeper,
                       std::optional<bool> echoAnswered,
                       const ServiceWord& service) {
    if (!keeper.settings())
        return {};
    const BindingSettings& settings = *keeper.settings();
    GatewaySighting seen;
    seen.echoAnswered = echoAnswered;
    seen.readable = seams().readArpTable(seen.rows);
    seen.routed = seams().bestInterface(settings.address, seen.interfaceIndex);
    seen.readable = seen.readable && seen.routed;
    seen.service = service;
    if (seen.readable) {
        InterfaceLink link;
        if (seams().interfaceLink(seen.interfaceIndex, link))
            seen.link = link;
        seen.defaultGateway = defaultGatewayOf(seen, settings);
    }
    const KeeperStep step = keeper.watchDue(seen, seams().tickCount());
    carryOut(keeper, step);
    return step;
}

KeeperStep runWatchWithEcho(GatewayKeeper& keeper) {
    std::optional<bool> answered;
    if (keeper.echoWanted() && keeper.settings())
        answered = seams().echo(keeper.settings()->address, kEchoTimeoutMs);
    return runWatchDue(keeper, answered);
}
