#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "net/gateway_rules.h"
#include "net/gateway_watch.h"

namespace {

// The MAC text tells the adapters apart.
AdapterInfo adapter(const char* tag, const char* ip, const char* gateway) {
    AdapterInfo info;
    info.mac = tag;
    info.ipAddress = ip;
    info.gateway = gateway;
    return info;
}

uint32_t networkOrder(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    // dwAddr holds the bytes in text order in memory, whatever the host order.
    uint32_t value;
    const uint8_t bytes[4] = {a, b, c, d};
    memcpy(&value, bytes, sizeof value);
    return value;
}

ArpRow row(uint32_t addr, uint8_t firstByte, uint32_t type = 3, uint32_t length = 6) {
    ArpRow r;
    r.addr = addr;
    r.type = type;
    r.physAddrLen = length;
    for (uint8_t i = 0; i < 8; ++i)
        r.physAddr[i] = static_cast<uint8_t>(firstByte + i);
    return r;
}

}  // namespace

TEST(NetAdapterSelection, TakesTheFirstAdapterWithAddressAndGateway) {
    EXPECT_EQ(selectLocalAdapter({adapter("1", "10.0.0.5", ""), adapter("2", "192.168.1.9", "192.168.1.1"),
                                  adapter("3", "172.16.0.2", "172.16.0.1")})
                  ->mac,
              "2");
    // Windows lists adapters without address or gateway with 0.0.0.0.
    EXPECT_EQ(selectLocalAdapter({adapter("1", "10.0.0.5", "0.0.0.0"), adapter("2", "0.0.0.0", "10.0.0.1"),
                                  adapter("3", "192.168.1.9", "192.168.1.1"), adapter("4", "1.1.1.1", "1.1.1.2")})
                  ->mac,
              "3");
    EXPECT_EQ(selectLocalAdapter({adapter("1", "10.0.0.5", "10.0.0.1"), adapter("2", "0.0.0.0", "")})->mac, "1");
}

TEST(NetAdapterSelection, FallsBackToTheLastAdapterOrNone) {
    EXPECT_EQ(
        selectLocalAdapter({adapter("1", "10.0.0.5", ""), adapter("2", "", "10.0.0.1"), adapter("3", "0.0.0.0", "")})
            ->mac,
        "3");
    EXPECT_EQ(selectLocalAdapter({adapter("7", "", "")})->mac, "7");
    EXPECT_FALSE(selectLocalAdapter({}));
}

TEST(NetArpMatch, LearnsTheFirstHostMacOfTheAddressOnTheAdaptersInterfaceOnly) {
    const uint32_t gateway = networkOrder(192, 168, 1, 1);
    const uint32_t adapter = 7;
    auto macRow = [&](const MacBytes& mac, uint32_t type, uint32_t index = 7) {
        ArpRow r = row(gateway, 0, type);
        std::copy(mac.begin(), mac.end(), r.physAddr);
        r.index = index;
        return r;
    };
    // Each of these teaches nothing: another address, an invalid (unanswered) row, another address length,
    // Wine's dynamic zeros for an unanswered entry, broadcast, a group address, another network's host.
    const std::vector<ArpRow> teachNothing = {macRow({0x10, 1, 2, 3, 4, 5}, 3),
                                              macRow({0xA0, 1, 2, 3, 4, 5}, 2),
                                              macRow({0xA0, 1, 2, 3, 4, 5}, 4),
                                              macRow({}, 3),
                                              macRow({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 3),
                                              macRow({0x01, 0x00, 0x5E, 0, 0, 1}, 3),
                                              macRow({0xC0, 1, 2, 3, 4, 5}, 3, 9)};
    std::vector<ArpRow> rows = teachNothing;
    rows[0].addr = networkOrder(192, 168, 1, 2);
    rows[2].physAddrLen = 0;
    EXPECT_FALSE(matchArpRow(rows, gateway, adapter));
    rows.push_back(macRow({0xB0, 1, 2, 3, 4, 5}, 3));
    rows.push_back(macRow({0xD0, 1, 2, 3, 4, 5}, 4));
    EXPECT_EQ(matchArpRow(rows, gateway, adapter), (MacBytes{0xB0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(matchArpRow(rows, gateway, 9), (MacBytes{0xC0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(matchArpRow(rows, networkOrder(192, 168, 1, 3), adapter));
    EXPECT_FALSE(matchArpRow({}, gateway, adapter));
}

namespace {

ArpRow gatewayRow(const MacBytes& mac, uint32_t type, uint32_t addr = networkOrder(192, 0, 2, 1), uint32_t index = 0) {
    ArpRow r = row(addr, 0, type);
    std::copy(mac.begin(), mac.end(), r.physAddr);
    r.index = index;
    return r;
}

constexpr MacBytes kPinnedMac = {0x02, 0xFC, 0x00, 0x00, 0x00, 0x05};
constexpr MacBytes kForgedMac = {0x66, 0x66, 0x66, 0x66, 0x66, 0x66};
constexpr uint32_t kOtherAdapter = 9;

}  // namespace

TEST(NetGatewayWatch, OnlyAStaticRowWithThePinnedBytesProtectsAndNoneIsJudgedBeforeThreeSeconds) {
    // The stored text may have one-digit groups, either case, either separator: the bytes count.
    for (const char* gwmac : {"2-fc-0-0-0-5", "02:FC:00:00:00:05"}) {
        auto watch = GatewayWatch::forBinding("192.0.2.1", gwmac, 60000);
        ASSERT_TRUE(watch) << gwmac;
        EXPECT_EQ(watch->check({}, 0, 600000).state, GatewayState::Unsettled);  // no bind command yet
        const uint32_t ran = 0xFFFFF000u;                                       // the clock wraps in between
        watch->bindCommandRan(ran);
        EXPECT_EQ(watch->check({gatewayRow(kPinnedMac, 4)}, 0, ran + 100).state, GatewayState::Protected) << gwmac;
        // The right MAC learnt dynamically means the bind command did not take; other addresses, incomplete
        // rows of the gateway (Windows' invalid one, Wine's zeros) and another adapter's rows say nothing.
        const std::vector<ArpRow> unpinned = {gatewayRow(kPinnedMac, 3),
                                              gatewayRow(kForgedMac, 4, networkOrder(192, 0, 2, 9)),
                                              gatewayRow({}, 2),
                                              gatewayRow({}, 3),
                                              gatewayRow(kForgedMac, 3, networkOrder(1, 2, 0, 192)),
                                              gatewayRow(kPinnedMac, 4, networkOrder(192, 0, 2, 1), kOtherAdapter),
                                              gatewayRow(kForgedMac, 3, networkOrder(192, 0, 2, 1), kOtherAdapter)};
        watch->bindCommandRan(ran + 200);
        EXPECT_EQ(watch->check(unpinned, 0, ran + 3199).state, GatewayState::Unsettled);
        EXPECT_EQ(watch->check(unpinned, 0, ran + 3200).state, GatewayState::NotInEffect);
        // Binds closer together than the wait (an interval of 1 s) still come to a verdict: it counts from the
        // first bind since the entry was last seen pinned.
        EXPECT_EQ(watch->check({gatewayRow(kPinnedMac, 4)}, 0, ran + 4000).state, GatewayState::Protected);
        for (uint32_t second = 5; second <= 8; ++second)
            watch->bindCommandRan(ran + second * 1000);
        EXPECT_EQ(watch->check(unpinned, 0, ran + 7999).state, GatewayState::Unsettled);
        EXPECT_EQ(watch->check(unpinned, 0, ran + 8000).state, GatewayState::NotInEffect);
    }
    // Nothing to pin for a MAC no host answers with.
    EXPECT_FALSE(GatewayWatch::forBinding("192.0.2.1", "00-00-00-00-00-00", 60000));
    EXPECT_FALSE(GatewayWatch::forBinding("192.0.2.1", "FF-FF-FF-FF-FF-FF", 60000));
}

TEST(NetGatewayWatch, AnotherMacIsAConflictWhoseRepinsBackOffUntilPinnedAgain) {
    auto watch = GatewayWatch::forBinding("192.0.2.1", "2-FC-0-0-0-5", 20000);
    EXPECT_EQ(watch->address(), networkOrder(192, 0, 2, 1));
    // A forged dynamic row outweighs a good static row of the interface; no command ran yet: at once.
    const std::vector<ArpRow> attacked = {gatewayRow(kPinnedMac, 4), gatewayRow(kForgedMac, 3)};
    GatewayVerdict verdict = watch->check(attacked, 0, 1000);
    EXPECT_EQ(verdict.state, GatewayState::Conflict);
    EXPECT_EQ(verdict.answered, kForgedMac);
    EXPECT_TRUE(verdict.rebind);
    // While it lasts, the re-pins come 2, 4, 8, 16 seconds apart, then at the binding's period of 20 s.
    std::vector<uint32_t> repins;
    for (uint32_t now = 2000; now <= 72000; now += 1000) {
        if (watch->check(attacked, 0, now).rebind)
            repins.push_back(now);
    }
    EXPECT_EQ(repins, (std::vector<uint32_t>{3000, 7000, 15000, 31000, 51000, 71000}));
    // The binding's own command counts as well; pinned again, the gaps start at 2 s again.
    watch->bindCommandRan(72000);
    EXPECT_FALSE(watch->check(attacked, 0, 91999).rebind);
    EXPECT_EQ(watch->check({gatewayRow(kPinnedMac, 4)}, 0, 92000).state, GatewayState::Protected);
    EXPECT_TRUE(watch->check(attacked, 0, 94000).rebind);
    EXPECT_TRUE(watch->check(attacked, 0, 96000).rebind);
    // Another adapter's host of the same address is no conflict.
    EXPECT_EQ(
        watch->check({gatewayRow(kPinnedMac, 4), gatewayRow(kForgedMac, 3, watch->address(), kOtherAdapter)}, 0, 98000)
            .state,
        GatewayState::Protected);
}

TEST(NetGatewayWatch, OnlyANewStateOrAnotherAnsweringMacIsWorthTelling) {
    const GatewayVerdict none, pinned{GatewayState::Protected}, open{GatewayState::NotInEffect},
        forged{GatewayState::Conflict, kForgedMac}, forgedAgain{GatewayState::Conflict, kPinnedMac};
    EXPECT_TRUE(verdictWorthTelling(none, pinned) && verdictWorthTelling(pinned, open) &&
                verdictWorthTelling(open, forged) && verdictWorthTelling(forged, forgedAgain));
    EXPECT_FALSE(verdictWorthTelling(pinned, pinned) || verdictWorthTelling(forged, forged) ||
                 verdictWorthTelling(pinned, none) || verdictWorthTelling(none, none));
}
