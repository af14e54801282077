#include "net/gateway_keeper.h"

bool holdsPinnedMac(const GatewaySighting& seen, const BindingSettings& settings, bool asStatic) {
    for (const ArpRow& row : seen.rows) {
        if (row.addr == settings.address && row.index == seen.interfaceIndex &&
            (row.type == kArpTypeStatic) == asStatic && macOfRow(row) == settings.mac)
            return true;
    }
    return false;
}

uint32_t msUntil(uint32_t nowMs, uint32_t dueMs) {
    const uint32_t ahead = dueMs - nowMs;
    return ahead > 0x7FFFFFFFu ? 0 : ahead;
}

void GatewayKeeper::configure(const BindingCheck& check, uint32_t nowMs, uint32_t firstBindInMs) {
    const bool same = check.settings && settings_ && *check.settings == *settings_;
    if (!same) {
        // What was told and learnt belongs to the old pair; who binds and which refusal was told stay.
        GatewayKeeper fresh;
        fresh.leftToService_ = leftToService_;
        fresh.toldInvalid_ = toldInvalid_;
        *this = fresh;
        settings_ = check.settings;
        invalid_ = check.invalid;
        if (settings_)
            watch_.emplace(*settings_);
        nextWatchMs_ = nowMs + kWatchPeriodMs;
    }
    active_ = true;
    nextBindMs_ = nowMs + firstBindInMs;
}

void GatewayKeeper::stop() {
    *this = GatewayKeeper();
}

void GatewayKeeper::leaveBindingToService(bool left) {
    leftToService_ = left;
    if (left) {
        // The service tests and re-pins for itself; this copy only watches.
        away_ = false;
        probe_ = Probe::None;
    }
}

KeeperStep GatewayKeeper::bindDue(uint32_t nowMs) {
    KeeperStep step;
    if (!active_)
        return step;
    if (!settings_) {
        nextBindMs_ = nowMs + kInvalidSettingsRetryMs;
        step.invalid = invalid_;
        step.invalidIsNews = invalid_ != toldInvalid_;
        toldInvalid_ = invalid_;
        return step;
    }
    toldInvalid_ = nullptr;
    nextBindMs_ = nowMs + settings_->periodMs;
    echoTried_ = false;
    if (leftToService_) {
        // The service bound for this copy: its watch judges that bind.
        watch_->bindCommandRan(nowMs);
        return step;
    }
    // Away nothing is pinned, not even for a test: a move, or the gateway answering by itself, brings the pin back.
    // Looking who answers without the pin: pinning now would answer for the router that is there.
    if (away_ || probe_ == Probe::Looking)
        return step;
    step.bind = true;
    // At each interval, through the pin: is the gateway still there, or back from its silence?
    if (canTest())
        startProbe(Probe::ThroughPin);
    return step;
}

void GatewayKeeper::bindStarted(uint32_t nowMs) {
    if (watch_)
        watch_->bindCommandRan(nowMs);
}

// A move is what nobody on the link can fake: the interface that routes to the gateway came up after none did, is
// another one, went down and up, or the machine resumed.
bool GatewayKeeper::movedSince(const GatewaySighting& seen) {
    bool moved = awaitingInterface_ || networkChanged_ || (interface_ && *interface_ != seen.interfaceIndex);
    if (seen.link) {
        // Down and up again between two polls: the system's trace tells, where it keeps one (0: none, or not read).
        if (link_ && link_->connected && seen.link->connected && link_->lastChange != 0 &&
            seen.link->lastChange != 0 && seen.link->lastChange != link_->lastChange)
            moved = true;
        if (link_ && !link_->connected && seen.link->connected)
            moved = true;
        link_ = seen.link;
    }
    interface_ = seen.interfaceIndex;
    awaitingInterface_ = false;
    networkChanged_ = false;
    return moved;
}

KeeperStep GatewayKeeper::watchDue(const GatewaySighting& seen, uint32_t nowMs) {
    KeeperStep step;
    if (!active_ || !watch_)
        return step;
    nextWatchMs_ = nowMs + kWatchPeriodMs;
    if (!seen.readable) {
        // Unplugged, or booting before the interface is up: nothing bound so far counts, and nothing is judged
        // until an interface routes to the gateway again.
        if (!seen.routed) {
            awaitingInterface_ = true;
            watch_->forgetBinds();
            probe_ = Probe::None;
        }
        return step;
    }
    if (seen.link && !seen.link->connected) {
        link_ = seen.link;  // the cable is out: nothing answers, and the return is a move
        return step;
    }
    // Nobody on the link can remove a static entry: one that went without our "arp -d" went with a link down and
    // up (Linux flushes it then), a network stack restarted, or an administrator's command. All of them are moves.
    const bool pinHolds = holdsPinnedMac(seen, *settings_, true);
    const bool pinLost = pinHeld_ && !pinHolds && !leftToService_;
    pinHeld_ = pinHolds;
    if (movedSince(seen) || pinLost) {
        step.moved = true;
        judgingMove_ = true;
        pinnedSeenSinceMove_ = false;
        if (!leftToService_) {
            // Another network, or the same one back: pinned at once (the system may have dropped the entry), then
            // tested through the pin at the next expiry.
            away_ = false;
            step.bind = true;
            probe_ = Probe::None;
            if (canTest())
                startProbe(Probe::ThroughPin);
            return step;
        }
    }
    if (away_)
        return judgeAway(seen);
    if (probe_ == Probe::Looking)
        return judgeLooking(seen);

    GatewayVerdict verdict = watch_->check(seen.rows, seen.interfaceIndex, nowMs);
    const bool pinned = verdict.state == GatewayState::Protected;
    seenPinned_ = seenPinned_ || pinned;
    if (probe_ == Probe::ThroughPin && seen.echoAnswered) {
        if (pinned && *seen.echoAnswered) {
            // The pinned gateway is here: it was never silent, never away.
            step.learntEcho = !answersEcho_;
            answersEcho_ = true;
            silent_ = false;
            pinnedSeenSinceMove_ = true;
            endMoveJudgement();
        } else if (pinned && answersEcho_ && ++silentEchoes_ >= kSilentEchoes) {
            KeeperStep judged = judgeSilence();
            if (judged.unpin)
                return judged;
        } else if (!pinned || !answersEcho_) {
            // Only an echo through the pin says anything, and a gateway that never answered one says nothing by its
            // silence.
            probe_ = Probe::None;
        }
    }
    if (leftToService_) {
        verdict.rebind = false;
        // The service found its gateway away: its test pins and the router that answers are no news of their own.
        if (seen.service.away) {
            verdict.state = GatewayState::Away;
            verdict.answered = *seen.service.away;
        } else if (pinned && seen.service.silent) {
            verdict.state = GatewayState::Silent;
        }
    } else if (verdict.rebind ||
               (seenPinned_ && !pinned && verdict.state != GatewayState::Conflict && watch_->repinDue(nowMs))) {
        // Another MAC answers, or the pin went (a link down and up, a stack restart, another program's "arp -d"):
        // pinned again at once, and tested once it holds.
        step.bind = true;
        if (canTest())
            startProbe(Probe::ThroughPin);
    } else if (pinned && probe_ == Probe::None && ((judgingMove_ && canTest()) || (!answersEcho_ && !echoTried_))) {
        // Right after a move the pin is tested at once; otherwise learnt once: whether this gateway answers an echo.
        echoTried_ = true;
        startProbe(Probe::ThroughPin);
    }
    // A move is judged by the first test that can run after it; with none possible, there is nothing to judge.
    if (pinned && !canTest() && probe_ == Probe::None)
        endMoveJudgement();
    if (pinned && silent_)
        verdict.state = GatewayState::Silent;
    // The pin protects nothing while the traffic goes through another address of the link.
    if ((pinned || verdict.state == GatewayState::Silent) && seen.defaultGateway &&
        *seen.defaultGateway != settings_->address) {
        verdict.state = GatewayState::RouteElsewhere;
        verdict.routedVia = *seen.defaultGateway;
    }
    // After the pin went, another MAC is as likely the network's own router: the test after the re-pin tells.
    if (verdict.state != GatewayState::Conflict)
        conflictSinceMs_.reset();
    else if (!conflictSinceMs_)
        conflictSinceMs_ = nowMs;
    if (verdict.state != GatewayState::Conflict || !canTest() || nowMs - *conflictSinceMs_ >= kConflictTestMs)
        tell(verdict, step);
    return step;
}

KeeperStep GatewayKeeper::judgeSilence() {
    KeeperStep step;
    silentEchoes_ = 0;
    if (judgingMove_ && roaming_ && !pinnedSeenSinceMove_ && !leftToService_) {
        // Just moved, and the pinned gateway never showed since: without the pin, the system finds out who answers
        // for the address.
        step.unpin = true;
        pinHeld_ = false;
        probe_ = Probe::Looking;
        return step;
    }
    // On the same link the pin stays whatever answers: down, replaced or attacked, the pinned gateway is silent.
    probe_ = Probe::None;
    silent_ = true;
    endMoveJudgement();
    return step;
}

// The pin removed and one echo sent: the router that answers for the address now is the network's own, unless the
// pinned MAC showed since the move.
KeeperStep GatewayKeeper::judgeLooking(const GatewaySighting& seen) {
    KeeperStep step;
    if (!seen.echoAnswered)
        return step;  // the echo of this look is still on its way
    const bool answered = *seen.echoAnswered;
    const std::optional<MacBytes> answer = matchArpRow(seen.rows, settings_->address, seen.interfaceIndex);
    const bool pinnedAnswers = answer && *answer == settings_->mac;
    if (answered && answer && !pinnedAnswers && !pinnedSeenSinceMove_) {
        away_ = true;
        silent_ = false;
        probe_ = Probe::None;
        endMoveJudgement();
        // The pin that comes back counts its settling from its own bind.
        watch_->forgetBinds();
        GatewayVerdict verdict;
        verdict.state = GatewayState::Away;
        verdict.answered = *answer;
        tell(verdict, step);
        return step;
    }
    // The pinned gateway answers after all, or nothing does (the gateway is down): pinned again, still protecting.
    if (answered || pinnedAnswers || ++silentEchoes_ >= kSilentEchoes) {
        silent_ = !answered;
        probe_ = Probe::None;
        endMoveJudgement();
        step.bind = true;
    }
    return step;
}

// Away, nothing is pinned. The gateway is back when it answers for the address by itself: pinned again, and the
// watch tells once the pin holds. Until then the tip follows the router that answers.
KeeperStep GatewayKeeper::judgeAway(const GatewaySighting& seen) {
    KeeperStep step;
    if (holdsPinnedMac(seen, *settings_, false)) {
        away_ = false;
        step.bind = true;
        return step;
    }
    const std::optional<MacBytes> answer = matchArpRow(seen.rows, settings_->address, seen.interfaceIndex);
    if (answer && *answer != settings_->mac) {
        GatewayVerdict verdict;
        verdict.state = GatewayState::Away;
        verdict.answered = *answer;
        tell(verdict, step);
    }
    return step;
}

void GatewayKeeper::endMoveJudgement() {
    judgingMove_ = false;
    pinnedSeenSinceMove_ = false;
}

void GatewayKeeper::startProbe(Probe probe) {
    if (probe_ != probe)
        silentEchoes_ = 0;
    probe_ = probe;
}

// Each change of state once, another MAC answering too, and the tip again when the service starts or stops
// binding for this copy.
void GatewayKeeper::tell(const GatewayVerdict& verdict, KeeperStep& step) {
    if (verdict.state == GatewayState::Unsettled)
        return;
    if (!verdictWorthTelling(told_, verdict) && toldForService_ == leftToService_)
        return;
    step.turned = verdict.state != told_.state;
    told_ = verdict;
    toldForService_ = leftToService_;
    step.news = verdict;
}

KeeperDue GatewayKeeper::due(uint32_t nowMs) const {
    if (!active_)
        return {KeeperTask::None, kInvalidSettingsRetryMs};
    const uint32_t untilBind = msUntil(nowMs, nextBindMs_);
    if (untilBind == 0)
        return {KeeperTask::Bind, 0};
    if (!watch_)
        return {KeeperTask::None, untilBind};
    const uint32_t untilWatch = msUntil(nowMs, nextWatchMs_);
    if (untilWatch == 0)
        return {KeeperTask::Watch, 0};
    return {KeeperTask::None, untilWatch < untilBind ? untilWatch : untilBind};
}
