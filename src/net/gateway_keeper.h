#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "net/binding_settings.h"
#include "net/gateway_rules.h"
#include "net/gateway_watch.h"

// The binding's and the watch's decisions in one place, for the window and the service alike: when to bind,
// when to read the ARP cache back, when to test whether the pinned gateway is on this network at all, and what
// is worth telling. Those who drive it only move time and results in and carry its steps out: the window with
// its two timers, the service with its one wait. Times are milliseconds of a clock that wraps (GetTickCount).

// How long one echo to the gateway may take, and how many unanswered ones, sent through the pinned entry, make
// the gateway silent. Removing the pin to look who answers instead is tried as often before "down".
constexpr uint32_t kEchoTimeoutMs = 1000;
constexpr int kSilentEchoes = 2;
// A copy that can tell "away" from an attack re-pins and tests before it tells another MAC answering, unless that
// lasts this long.
constexpr uint32_t kConflictTestMs = 4000;
// Settings that keep the binding from running are read again after this long (the service's retry).
constexpr uint32_t kInvalidSettingsRetryMs = 60000;
// The same, as the settings warning states it.
constexpr const char* kInvalidSettingsRetryText = "60";

// Milliseconds from now until due on a clock that wraps: 0 once due has passed. A due time more than half the
// clock's range ahead counts as passed.
uint32_t msUntil(uint32_t nowMs, uint32_t dueMs);

// What a running service said of its gateway, for a user's copy beside it: the router that answers while its gateway
// is away, and whether its pinned gateway is silent.
struct ServiceWord {
    std::optional<MacBytes> away;
    bool silent = false;
};

// What the system showed at a watch expiry.
struct GatewaySighting {
    // False when the ARP cache could not be read or no interface routes to the gateway.
    bool readable = false;
    bool routed = true;  // false when the reason was that no interface routes to the gateway
    std::vector<ArpRow> rows;
    uint32_t interfaceIndex = 0;  // the interface that routes to the gateway
    // The answer to the echo the keeper asked for (echoWanted), sent just before the table was read.
    std::optional<bool> echoAnswered;
    // Beside a running service: what the service said.
    ServiceWord service;
    // The link of that interface, where the system can say: a drop and return is a move nobody on the link can
    // fake.
    std::optional<InterfaceLink> link;
    // The address the interface's default route goes through (network byte order), where it has one.
    std::optional<uint32_t> defaultGateway;
};

// Whether the interface's rows hold the pinned MAC as a static entry (the pin), or as the system learnt it (dynamic:
// the gateway itself answered).
bool holdsPinnedMac(const GatewaySighting& seen, const BindingSettings& settings, bool asStatic);

// What the one who drives the keeper does now.
struct KeeperStep {
    bool unpin = false;  // run "arp -d" for the gateway (before a bind of the same step)
    bool bind = false;   // run "arp -s" for the pinned pair, and report it with bindStarted when it started
    // At a bind: the value that keeps the binding from running, and whether it is another than the one told last.
    const char* invalid = nullptr;
    bool invalidIsNews = false;
    // A verdict worth telling, and whether it is a turn to another state (not only another MAC answering).
    std::optional<GatewayVerdict> news;
    bool turned = false;
    // The pinned gateway answered an echo for the first time: worth keeping across restarts (knowsEchoAnswered).
    bool learntEcho = false;
    // The machine moved: an echo sent before tells nothing of where it is now.
    bool moved = false;
};

// The service's one wait: the work due now, or how long until some is.
enum class KeeperTask { None, Bind, Watch };
struct KeeperDue {
    KeeperTask task = KeeperTask::None;
    uint32_t waitMs = 0;
};

class GatewayKeeper {
  public:
    // Starts keeping the settings (or the value that refuses them), the first bind firstBindInMs from now. Settings
    // that differ from the kept ones start afresh; the same ones keep what was told and learnt.
    void configure(const BindingCheck& check, uint32_t nowMs, uint32_t firstBindInMs);
    // The kept pair's gateway answered an echo before (told by an earlier run's learntEcho): its silence counts
    // from the start, so that a machine that starts away from it finds that out too.
    void knowsEchoAnswered() { answersEcho_ = true; }
    // No binding any more: nothing is watched and nothing told.
    void stop();
    bool active() const { return active_; }
    const std::optional<BindingSettings>& settings() const { return settings_; }

    // Beside a running service the window runs no command of its own: its watch counts the service's binds as its
    // own. A change is told again (the tip says who pins).
    void leaveBindingToService(bool left);
    bool bindingLeftToService() const { return leftToService_; }

    // The binding's clock ran out.
    KeeperStep bindDue(uint32_t nowMs);
    // The bind command of a step was started just now.
    void bindStarted(uint32_t nowMs);

    // Whether the next watch expiry sends one echo to the gateway before it reads the table.
    bool echoWanted() const { return probe_ != Probe::None && !leftToService_; }
    // The watch's clock ran out: judges what the system showed.
    KeeperStep watchDue(const GatewaySighting& seen, uint32_t nowMs);
    // The machine resumed, or its network changed: pin again and test at the next watch expiry.
    void networkChanged() { networkChanged_ = true; }
    // Whether this machine may find itself on another network (a laptop); false never judges "away" and never
    // removes the pin to look.
    void setRoaming(bool roaming) { roaming_ = roaming; }

    KeeperDue due(uint32_t nowMs) const;
    const GatewayVerdict& told() const { return told_; }
    bool toldForService() const { return toldForService_; }
    // The interface that routed to the gateway at the last watch.
    uint32_t interfaceIndex() const { return interface_.value_or(0); }

  private:
    enum class Probe {
        None,
        ThroughPin,  // an echo through the pinned entry: does the pinned gateway answer?
        Looking,     // the pin removed just after a move: does another router answer for the address?
    };

    bool movedSince(const GatewaySighting& seen);
    KeeperStep judgeAway(const GatewaySighting& seen);
    KeeperStep judgeLooking(const GatewaySighting& seen);
    // The echo through the pin went unanswered often enough: the gateway is silent, or right after a move, away.
    KeeperStep judgeSilence();
    void startProbe(Probe probe);
    void endMoveJudgement();
    void tell(const GatewayVerdict& verdict, KeeperStep& step);
    // The pin took effect here and the gateway answers echoes: this copy can tell "away" or "silent" from "down".
    bool canTest() const { return seenPinned_ && answersEcho_ && !leftToService_; }

    bool active_ = false;
    std::optional<BindingSettings> settings_;
    const char* invalid_ = nullptr;
    const char* toldInvalid_ = nullptr;
    std::optional<GatewayWatch> watch_;
    GatewayVerdict told_;
    bool toldForService_ = false;
    bool leftToService_ = false;
    bool roaming_ = true;
    uint32_t nextBindMs_ = 0;
    uint32_t nextWatchMs_ = 0;

    bool seenPinned_ = false;   // the static entry with the pinned MAC was seen: this copy can pin
    bool answersEcho_ = false;  // the pinned gateway answered an echo once: its silence means something
    bool echoTried_ = false;    // an echo was sent to learn that, since the last bind
    bool awaitingInterface_ = false;
    bool networkChanged_ = false;
    std::optional<uint32_t> interface_;
    std::optional<InterfaceLink> link_;
    std::optional<uint32_t> conflictSinceMs_;
    Probe probe_ = Probe::None;
    int silentEchoes_ = 0;
    // A move nobody on the link can fake happened (a start, a resume, the link down and up, another interface), and
    // its test through the pin has not ended yet: only now may the pinned gateway's silence mean "away". Any sign of
    // the pinned MAC since the move rules that out.
    bool judgingMove_ = true;
    bool pinnedSeenSinceMove_ = false;
    bool silent_ = false;   // the pinned gateway stopped answering through its pin; the pin stays
    bool pinHeld_ = false;  // the last watch saw the static entry
    bool away_ = false;
};
