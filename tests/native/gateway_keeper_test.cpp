#include <gtest/gtest.h>

#include <cstring>

#include "net/gateway_keeper.h"

namespace {

constexpr MacBytes kOffice = {0x02, 0xFC, 0x00, 0x00, 0x00, 0x05};
constexpr MacBytes kHome = {0x02, 0xAB, 0x00, 0x00, 0x00, 0x01};

ArpRow row(const MacBytes& mac, uint32_t type) {
    ArpRow r{0, 6, {}, 0, type};
    std::copy(mac.begin(), mac.end(), r.physAddr);
    memcpy(&r.addr, "\xC0\x00\x02\x01", 4);  // 192.0.2.1
    return r;
}

// A keeper of 192.0.2.1 pinned to kOffice every 10 s, driven as the service drives it, with the system's answers
// given by each step: the table, the route, the echo.
struct Drive {
    GatewayKeeper keeper;
    uint32_t now = 0;
    std::vector<ArpRow> rows;
    bool routed = true;
    bool echoes = true;  // whether the gateway the echo reaches answers
    int sent = 0;

    Drive() { keeper.configure(checkBindingSettings(10, "192.0.2.1", "2-fc-0-0-0-5"), now, 0); }
    KeeperStep bind() {
        KeeperStep step = keeper.bindDue(now);
        if (step.bind)
            keeper.bindStarted(now);
        return step;
    }
    KeeperStep watch(uint32_t ms = 2000) {
        now += ms;
        GatewaySighting seen{routed, routed, rows, 0, {}};
        if (keeper.echoWanted()) {
            ++sent;
            seen.echoAnswered = echoes;
        }
        KeeperStep step = keeper.watchDue(seen, now);
        if (step.unpin)
            rows.clear();
        if (step.bind)
            keeper.bindStarted(now);
        return step;
    }
    // Watches until a verdict is told, or for a minute; what was told (Unsettled for nothing).
    GatewayState untilTold() {
        for (int i = 0; i < 30; ++i)
            if (std::optional<GatewayVerdict> news = watch().news)
                return news->state;
        return GatewayState::Unsettled;
    }
};

}  // namespace

// The pinned gateway gone from the network while its static entry stays (the router replaced, the link up): the
// interval's echo goes unanswered, the pin is removed, another router answers: away, told once, no pin, until the
// gateway answers again.
TEST(GatewayKeeper, AwayWhenAnotherRouterAnswersForTheSilentPinnedGatewayAndBackWhenItAnswers) {
    Drive d;
    ASSERT_TRUE(d.bind().bind);
    d.rows = {row(kOffice, kArpTypeStatic)};
    EXPECT_EQ(d.untilTold(), GatewayState::Protected);
    d.watch();
    EXPECT_EQ(d.sent, 1);  // learnt that it answers echoes
    d.echoes = false;      // the office router is gone; the pin stays
    d.now += 4000;
    d.bind();
    EXPECT_FALSE(d.watch().unpin);  // one silent echo is not enough
    EXPECT_TRUE(d.watch().unpin);
    d.echoes = true;
    d.rows = {row(kHome, 3)};  // without the pin the system learns the router that is there
    KeeperStep step = d.watch();
    ASSERT_TRUE(step.news && step.turned);
    EXPECT_TRUE(step.news->state == GatewayState::Away && step.news->answered == kHome);
    EXPECT_FALSE(step.bind || d.watch().news);  // told once, nothing pinned
    // At the interval the test pins for a moment; still silent through the pin, the pin goes again.
    d.echoes = false;
    d.now += 6000;
    ASSERT_TRUE(d.bind().bind);
    d.rows = {row(kOffice, kArpTypeStatic)};
    EXPECT_TRUE(d.watch().unpin);
    // Back at the office: the gateway answers for itself, pinned at once.
    d.rows = {row(kOffice, 3)};
    EXPECT_TRUE(d.watch().bind);
    d.rows = {row(kOffice, kArpTypeStatic)};
    EXPECT_EQ(d.untilTold(), GatewayState::Protected);
}

// Silent through the pin but nothing answers without it either: the gateway is down, pinned again and protected.
// A gateway that never answered an echo is never tested, and nothing is judged before the interface is up.
TEST(GatewayKeeper, DownSilentOrBootingGatewaysStayPinned) {
    Drive d;
    d.routed = false;  // booting: the bind before the interface is up proves nothing
    d.bind();
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(d.watch().news);
    d.routed = true;
    EXPECT_TRUE(d.watch().bind);  // the interface is up: pinned at once
    d.rows = {row(kOffice, kArpTypeStatic)};
    EXPECT_EQ(d.untilTold(), GatewayState::Protected);
    d.watch();
    d.echoes = false;
    d.now += 4000;
    d.bind();
    d.watch();
    EXPECT_TRUE(d.watch().unpin);
    d.watch();
    KeeperStep step = d.watch();
    EXPECT_TRUE(step.bind && !step.news);

    // Started where the pinned gateway is silent: tested only when an earlier run learnt that it answers echoes.
    for (const bool learntBefore : {false, true}) {
        Drive silent;
        if (learntBefore)
            silent.keeper.knowsEchoAnswered();
        silent.echoes = false;
        silent.rows = {row(kOffice, kArpTypeStatic)};
        bool unpinned = false;
        for (int i = 0; i < 20; ++i) {
            if (i % 5 == 0)
                silent.bind();
            unpinned = unpinned || silent.watch().unpin;
        }
        EXPECT_EQ(unpinned, learntBefore);
    }
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
    step = d.watch();
    EXPECT_TRUE(step.news && step.news->state == GatewayState::Conflict);
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
