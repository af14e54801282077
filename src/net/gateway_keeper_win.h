#pragma once
#include "net/gateway_keeper.h"

// The keeper's steps carried out on the system, for the window and the service alike.

// Runs what a step asks: "arp -d", then "arp -s" (reported to the keeper when it started).
void carryOut(GatewayKeeper& keeper, const KeeperStep& step);
// The binding's clock ran out: the keeper's step, carried out; with the watch that follows it at once, when the
// keeper asks for one (then that watch's step is returned).
KeeperStep runBindDue(GatewayKeeper& keeper);
// The watch's clock ran out: the echo the keeper asked for, then the ARP table and the interface that routes to the
// gateway, judged and carried out. GetIpNetTable answers at once; an echo waits up to kEchoTimeoutMs, and only
// while the keeper tests the gateway. serviceAway: what a running service said of its gateway being away.
KeeperStep runWatchDue(GatewayKeeper& keeper, const std::optional<MacBytes>& serviceAway = std::nullopt);
