#include <gtest/gtest.h>

#include <cstring>

#include "net/gateway_keeper.h"

namespace {

constexpr MacBytes kOffice = {0x02, 0xFC, 0x00, 0x00, 0x00, 0x05};
constexpr MacBytes kHome = {0x02, 0xAB, 0x00, 0x00, 0x00, 0x01};

constexpr const char* kGatewayAddr = "\xC0\x00\x02\x01";  // 192.0.2.1

ArpRow row(const MacBytes& mac, uint32_t type, const char* addr = kGatewayAddr, uint32_t index = 0) {
    ArpRow r{index, 6, {}, 0, type};
    std::copy(mac.begin(), mac.end(), r.physAddr);
    memcpy(&r.addr, addr, 4);
    return r;
}

// A keeper of 192.0.2.1 pinned to kOffice every 10 s, driven as the service drives it, with the system's answers
// given by each step: the table, the route, the link, the echo.
struct Drive {
    GatewayKeeper keeper;
    uint32_t now = 0;
    std::vector<ArpRow> rows;
    bool routed = true;
    bool echoes = true;  // whether the gateway the echo reaches answers
    InterfaceLink link{true, 7};
    uint32_t interfaceIndex = 0;
    std::optional<uint32_t> defaultGateway;
    // What the table shows once the pin is removed to look, and whether the echo is answered then.
    std::optional<std::vector<ArpRow>> withoutPin;
    bool answersWithoutPin = true;
    bool pinTakes = false;  // a bind puts the static entry in the table, as an elevated arp does
    int sent = 0;
    int unpinned = 0;

    Drive() { keeper.configure(checkBindingSettings(10, "192.0.2.1", "2-fc-0-0-0-5"), now, 0); }
    KeeperStep bind() {
        KeeperStep step = keeper.bindDue(now);
        if (step.bind)
            keeper.bindStarted(now);
        return step;
    }
    KeeperStep watch(uint32_t ms = 2000) {
        now += ms;
        GatewaySighting seen;
        seen.readable = seen.routed = routed;
        seen.rows = rows;
        seen.interfaceIndex = interfaceIndex;
        seen.link = link;
        seen.defaultGateway = defaultGateway;
        if (keeper.echoWanted()) {
            ++sent;
            seen.echoAnswered = echoes;
        }
        KeeperStep step = keeper.watchDue(seen, now);
        if (step.unpin) {
            ++unpinned;
            rows = withoutPin.value_or(std::vector<ArpRow>());
            echoes = answersWithoutPin;
        }
        if (step.bind) {
            keeper.bindStarted(now);
            if (pinTakes)
                rows = {row(kOffice, kArpTypeStatic, kGatewayAddr, interfaceIndex)};
        }
        return step;
    }
    // Watches until a verdict is told, or for a minute, binding at every interval as the clock says; what was told
    // (Unsettled for nothing).
    GatewayState untilTold() {
        for (int i = 0; i < 30; ++i) {
            if (keeper.due(now).task == KeeperTask::Bind)
                bind();
            if (const std::optional<GatewayVerdict> news = watch().news)
                return news->state;
        }
        return GatewayState::Unsettled;
    }
    // Pinned and told so, with the gateway known to answer echoes.
    void pinned() {
        bind();
        rows = {row(kOffice, kArpTypeStatic)};
        ASSERT_EQ(untilTold(), GatewayState::Protected);
        watch();
    }
};

}  // namespace

// Nobody on the link can switch the pin off: a gateway that stops answering through its pin while the link stays up
// (an attacker that poisons both ends and drops the replies, a router swapped or down) keeps its pin and is told
// silent once. Only a move that nobody on the link can fake lets the keeper look who answers without the pin, and
// then only while nothing showed the pinned MAC since; a desktop that never roams never looks.
TEST(GatewayKeeper, AwayOnlyAfterAMoveOtherwiseThePinStaysAndTheGatewayIsSilent) {
    struct Case {
        const char* move;
        void (*act)(Drive&);
        bool roaming;
        GatewayState told;
    };
    const Case cases[] = {
        {"none: the link stays up", [](Drive&) {}, true, GatewayState::Silent},
        {"link down and up", [](Drive& d) { d.link.connected = false, d.watch(), d.link.connected = true; }, true,
         GatewayState::Away},
        {"a drop shorter than a poll", [](Drive& d) { d.link.lastChange = 99; }, true, GatewayState::Away},
        {"the trace unread once", [](Drive& d) { d.link.lastChange = 0; }, true, GatewayState::Silent},
        {"another interface", [](Drive& d) { d.interfaceIndex = 3; }, true, GatewayState::Away},
        {"the pin flushed by a link drop", [](Drive& d) { d.rows.clear(), d.watch(); }, true, GatewayState::Away},
        {"resumed", [](Drive& d) { d.keeper.networkChanged(); }, true, GatewayState::Away},
        {"unplugged, no route", [](Drive& d) { d.routed = false, d.watch(), d.routed = true; }, true,
         GatewayState::Away},
        {"link down and up, never roams", [](Drive& d) { d.link.connected = false, d.watch(), d.link.connected = true; },
         false, GatewayState::Silent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.move);
        Drive d;
        d.keeper.setRoaming(c.roaming);
        d.pinned();
        ASSERT_EQ(d.sent, 1);  // the move of the start was judged by the first echo: the gateway is here
        d.echoes = false;      // from now on the pinned gateway does not answer through its pin
        c.act(d);
        d.rows = {row(kOffice, kArpTypeStatic, kGatewayAddr, d.interfaceIndex)};
        d.withoutPin = {{row(kHome, 3, kGatewayAddr, d.interfaceIndex)}};
        EXPECT_EQ(d.untilTold(), c.told);
        EXPECT_EQ(d.unpinned, c.told == GatewayState::Away ? 1 : 0);
        // Silent goes on re-pinning at every interval and is told once.
        for (int i = 0; i < 12 && c.told == GatewayState::Silent; ++i) {
            const KeeperStep step = i % 5 == 0 ? d.bind() : d.watch();
            EXPECT_FALSE(step.unpin || step.news);
            EXPECT_EQ(step.bind, i % 5 == 0);
        }
    }
}

// Away, nothing is pinned, not even for a moment at an interval; the pinned gateway answering by itself brings the
// pin back. A silent gateway that answers again through its pin is told pinned.
TEST(GatewayKeeper, AwayPinsNothingUntilTheGatewayAnswersAndSilenceEndsWithAnAnswer) {
    Drive d;
    d.pinned();
    d.echoes = false;
    d.withoutPin = {{row(kHome, 3)}};
    d.keeper.networkChanged();
    ASSERT_EQ(d.untilTold(), GatewayState::Away);
    for (int i = 0; i < 3; ++i) {
        d.now += 10000;
        EXPECT_FALSE(d.bind().bind);
        EXPECT_FALSE(d.watch().bind);
    }
    d.rows = {row(kOffice, 3)};  // back at the office: the gateway answers for itself
    EXPECT_TRUE(d.watch().bind);
    d.rows = {row(kOffice, kArpTypeStatic)};
    d.echoes = true;
    EXPECT_EQ(d.untilTold(), GatewayState::Protected);

    // The pinned MAC seen without the pin since the move vetoes away: the pin comes back, silent, until the gateway
    // answers through it again.
    Drive vetoed;
    vetoed.pinned();
    vetoed.echoes = false;
    vetoed.withoutPin = {{row(kOffice, 3)}};
    vetoed.answersWithoutPin = false;
    vetoed.pinTakes = true;
    vetoed.keeper.networkChanged();
    EXPECT_EQ(vetoed.untilTold(), GatewayState::Silent);
    EXPECT_EQ(vetoed.unpinned, 1);
    vetoed.rows = {row(kOffice, kArpTypeStatic)};
    vetoed.echoes = true;
    EXPECT_EQ(vetoed.untilTold(), GatewayState::Protected);
}

// Nothing is judged before the interface is up, and a gateway that never answered an echo says nothing by its
// silence. The default route of the interface through another address makes the pin useless: told as such.
TEST(GatewayKeeper, BootingNeverAnsweringAndRoutedElsewhereGateways) {
    Drive d;
    d.routed = false;  // booting: the bind before the interface is up proves nothing
    d.bind();
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(d.watch().news);
    d.routed = true;
    EXPECT_TRUE(d.watch().bind);  // the interface is up: pinned at once
    d.rows = {row(kOffice, kArpTypeStatic)};
    d.echoes = false;
    EXPECT_EQ(d.untilTold(), GatewayState::Protected);
    EXPECT_EQ(d.untilTold(), GatewayState::Unsettled);
    EXPECT_EQ(d.unpinned, 0);

    memcpy(&d.defaultGateway.emplace(), "\xC0\x00\x02\x63", 4);  // 192.0.2.99
    KeeperStep step = d.watch();
    ASSERT_TRUE(step.news && step.turned);
    EXPECT_EQ(step.news->state, GatewayState::RouteElsewhere);
    EXPECT_EQ(step.news->routedVia, *d.defaultGateway);
    d.defaultGateway.reset();
    EXPECT_EQ(d.untilTold(), GatewayState::Protected);
}

// Another MAC answering is an attack while the pinned gateway answers through the pin: re-pinned, never away. A pin
// that goes is put back at the next watch, not at the next interval.
TEST(GatewayKeeper, AttacksArePinnedAgainAndALostPinComesBackAtOnce) {
    Drive d;
    d.bind();
    d.rows = {row(kOffice, kArpTypeStatic)};
    EXPECT_EQ(d.untilTold(), GatewayState::Protected);
    d.watch();  // learns that it answers echoes
    // Re-pinned at once and tested before another MAC is told, unless it lasts.
    d.rows = {row(kHome, 3)};
    KeeperStep step = d.watch();
    EXPECT_TRUE(step.bind && !step.news);
    d.watch();
    d.watch();
    // The attacker's own row names it; other interfaces' rows and group addresses do not.
    d.rows.push_back(row(kHome, 3, "\xC0\x00\x02\x42"));
    d.rows.push_back(row(kHome, 3, "\xC0\x00\x02\x43", 5));
    d.rows.push_back(row(kHome, kArpTypeStatic, "\xE0\x00\x00\x01"));
    step = d.watch();
    ASSERT_TRUE(step.news && step.news->state == GatewayState::Conflict);
    EXPECT_EQ(step.news->suspects, std::vector<uint32_t>{d.rows[1].addr});
    d.rows = {row(kOffice, kArpTypeStatic)};
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(d.watch().unpin);
    EXPECT_EQ(d.keeper.told().state, GatewayState::Protected);
    d.rows.clear();  // another program's "arp -d"
    EXPECT_TRUE(d.watch().bind);
}

// The service sleeps for what msUntil says: across the tick count's wrap it must neither spin nor sleep 49 days.
TEST(GatewayKeeper, TimeUntilDueSurvivesTheTickCountsWrap) {
    EXPECT_EQ(msUntil(1000, 3000), 2000u);
    EXPECT_EQ(msUntil(0xFFFFFF00u, 0x100u), 0x200u);
    EXPECT_EQ(msUntil(3000, 1000), 0u);
    EXPECT_EQ(msUntil(0x100u, 0xFFFFFF00u), 0u);
}
