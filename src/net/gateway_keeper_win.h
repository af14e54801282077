#pragma once
#include <optional>

#include "net/gateway_keeper.h"

// The keeper's steps carried out on the system, for the window and the service alike.

// Runs what a step asks: "arp -d", then "arp -s" (reported to the keeper when it started).
void carryOut(GatewayKeeper& keeper, const KeeperStep& step);
// The binding's clock ran out: the keeper's step, carried out.
KeeperStep runBindDue(GatewayKeeper& keeper);
// The watch's clock ran out, or the echo it asked for came back: the ARP table, the interface that routes to the
// gateway with its link and default route, judged and carried out. echoAnswered: the answer to the echo the keeper
// asked for (echoWanted), sent before this reading; none when no answer is at hand. service: what a running
// service said of its gateway.
KeeperStep runWatchDue(GatewayKeeper& keeper,
                       std::optional<bool> echoAnswered,
                       const ServiceWord& service = {});
// The service's watch, on its own thread: the echo the keeper asks for is sent and waited for (up to
// kEchoTimeoutMs), then the watch runs.
KeeperStep runWatchWithEcho(GatewayKeeper& keeper);
