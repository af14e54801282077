#include "net/gateway_keeper_win.h"

#include "net/binding.h"
#include "sys/seams.h"

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
    if (!step.watchSoon)
        return step;
    seams().wait(kPinSettleMs);
    return runWatchDue(keeper);
}

KeeperStep runWatchDue(GatewayKeeper& keeper, const std::optional<MacBytes>& serviceAway) {
    if (!keeper.settings())
        return {};
    const BindingSettings& settings = *keeper.settings();
    GatewaySighting seen;
    if (keeper.echoWanted())
        seen.echoAnswered = seams().echo(settings.address, kEchoTimeoutMs);
    seen.readable = seams().readArpTable(seen.rows);
    seen.routed = seams().bestInterface(settings.address, seen.interfaceIndex);
    seen.readable = seen.readable && seen.routed;
    seen.serviceAway = serviceAway;
    const KeeperStep step = keeper.watchDue(seen, seams().tickCount());
    carryOut(keeper, step);
    return step;
}
