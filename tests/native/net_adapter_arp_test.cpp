#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "net/gateway_rules.h"
#include "net/gateway_watch.h"

namespace {

// The interface index tells the adapters apart.
AdapterInfo adapter(uint32_t tag, const char* ip, const char* gateway) {
    AdapterInfo info;
    info.index = tag;
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
    EXPECT_EQ(selectLocalAdapter({adapter(1, "10.0.0.5", ""), adapter(2, "192.168.1.9", "192.168.1.1"),
                                  adapter(3, "172.16.0.2", "172.16.0.1")})
                  ->index,
              2u);
    // Windows lists adapters without address or gateway with 0.0.0.0.
    EXPECT_EQ(selectLocalAdapter({adapter(1, "10.0.0.5", "0.0.0.0"), adapter(2, "0.0.0.0", "10.0.0.1"),
                                  adapter(3, "192.168.1.9", "192.168.1.1"), adapter(4, "1.1.1.1", "1.1.1.2")})
                  ->index,
              3u);
    EXPECT_EQ(selectLocalAdapter({adapter(1, "10.0.0.5", "10.0.0.1"), adapter(2, "0.0.0.0", "")})->index, 1u);
}

TEST(NetAdapterSelection, FallsBackToTheLastAdapterOrNone) {
    EXPECT_EQ(
        selectLocalAdapter({adapter(1, "10.0.0.5", ""), adapter(2, "", "10.0.0.1"), adapter(3, "0.0.0.0", "")})
            ->index,
        3u);
    EXPECT_EQ(selectLocalAdapter({adapter(7, "", "")})->index, 7u);
    EXPECT_FALSE(selectLocalAdapter({}));
}

TEST(NetArpMatch, LearnsTheFirstHostMacOfTheAddressOnTheAdaptersInterface) {
    const uint32_t gateway = networkOrder(192, 168, 1, 1);
    // Another address, an invalid (unanswered) row, a row of no length, Wine's zeros for an unanswered entry, a
    // group address and another network's host of the address teach nothing.
    std::vector<ArpRow> rows = {row(networkOrder(192, 168, 1, 2), 0x10),
                                row(gateway, 0xA0, 2),
                                row(gateway, 0xA0, 4, 0),
                                row(gateway, 0),
                                row(gateway, 0xFF),
                                row(gateway, 0xC0),
                                row(gateway, 0xB0)};
    memset(rows[3].physAddr, 0, sizeof rows[3].physAddr);
    rows[5].index = 9;
    EXPECT_EQ(matchArpRow(rows, gateway, 0), (MacBytes{0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5}));
    EXPECT_EQ(matchArpRow(rows, gateway, 9), (MacBytes{0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5}));
    EXPECT_FALSE(matchArpRow(rows, networkOrder(192, 168, 1, 3), 0));
    EXPECT_FALSE(matchArpRow({}, gateway, 0));
}

namespace {

ArpRow gatewayRow(const MacBytes& mac, uint32_t type, uint32_t addr = networkOrder(192, 0, 2, 1), uint32_t index = 0) {
    ArpRow r = row(addr, 0, type);
    std::copy(mac.begin(), mac.end(), r.physAddr);
    r.index = index;
    return r;
}

constexpr MacBytes kPinnedMac = {0x02, 0xFC, 0x00, 0x00, 0x00, 0x05};

std::optional<GatewayWatch> watchFor(const char* gwmac, int32_t interval) {
    const BindingCheck check = checkBindingSettings(interval, "192.0.2.1", gwmac);
    return check.settings ? std::optional<GatewayWatch>(*check.settings) : std::nullopt;
}
constexpr MacBytes kForgedMac = {0x66, 0x66, 0x66, 0x66, 0x66, 0x66};

}  // namespace

TEST(NetGatewayWatch, OnlyAStaticRowWithThePinnedBytesProtectsAndNoneIsJudgedBeforeThreeSeconds) {
    // The stored text may have one-digit groups, either case, either separator: the bytes count.
    for (const char* gwmac : {"2-fc-0-0-0-5", "02:FC:00:00:00:05"}) {
        auto watch = watchFor(gwmac, 60);
        ASSERT_TRUE(watch) << gwmac;
        EXPECT_EQ(watch->check({}, 0, 600000).state, GatewayState::Unsettled);  // no bind command yet
        const uint32_t ran = 0xFFFFF000u;                                       // the clock wraps in between
        watch->bindCommandRan(ran);
        // The right MAC learnt dynamically means the bind command did not take; other addresses, incomplete
        // rows of the gateway (Windows' invalid one, Wine's zeros) and another adapter's static row say nothing.
        const std::vector<ArpRow> unpinned = {
            gatewayRow(kPinnedMac, 3), gatewayRow(kForgedMac, 4, networkOrder(192, 0, 2, 9)),
            gatewayRow({}, 2),         gatewayRow(kForgedMac, 3, networkOrder(1, 2, 0, 192)),
            gatewayRow({}, 3),         gatewayRow(kPinnedMac, 4, watch->address(), 9)};
        EXPECT_EQ(watch->check(unpinned, 0, ran + 2999).state, GatewayState::Unsettled);
        EXPECT_EQ(watch->check(unpinned, 0, ran + 3000).state, GatewayState::NotInEffect);
        EXPECT_EQ(watch->check({gatewayRow(kPinnedMac, 4)}, 0, ran + 3100).state, GatewayState::Protected) << gwmac;
        // Binds a second apart (an interval of 1 s) still settle: the wait counts from the first since pinned.
        for (uint32_t second = 4; second <= 7; ++second)
            watch->bindCommandRan(ran + second * 1000);
        EXPECT_EQ(watch->check(unpinned, 0, ran + 7000).state, GatewayState::NotInEffect);
    }
}

TEST(NetGatewayWatch, AnotherMacIsAConflictWhoseRepinsBackOffUntilPinnedAgain) {
    auto watch = watchFor("2-FC-0-0-0-5", 20);
    // A forged dynamic row outweighs a good static row of the interface, where another network's host of the
    // address on another adapter is no conflict; no command ran yet: at once.
    const std::vector<ArpRow> attacked = {gatewayRow({0x0A, 1, 2, 3, 4, 5}, 3, watch->address(), 9),
                                          gatewayRow(kPinnedMac, 4), gatewayRow(kForgedMac, 3)};
    GatewayVerdict verdict = watch->check(attacked, 0, 1000);
    EXPECT_EQ(verdict.state, GatewayState::Conflict);
    EXPECT_EQ(verdict.answered, kForgedMac);
    EXPECT_TRUE(verdict.rebind);
    // While it lasts, re-pins come 2, 4, 8, 16 s apart, then at the binding's period of 20 s.
    std::vector<uint32_t> repins;
    for (uint32_t now = 2000; now <= 72000; now += 1000)
        if (watch->check(attacked, 0, now).rebind)
            repins.push_back(now);
    EXPECT_EQ(repins, (std::vector<uint32_t>{3000, 7000, 15000, 31000, 51000, 71000}));
    // The binding's own command counts as well; pinned again, the gaps start at 2 s again.
    watch->bindCommandRan(72000);
    EXPECT_EQ(watch->check({gatewayRow(kPinnedMac, 4)}, 0, 72000).state, GatewayState::Protected);
    EXPECT_FALSE(watch->check(attacked, 0, 73999).rebind);
    EXPECT_TRUE(watch->check(attacked, 0, 74000).rebind && watch->check(attacked, 0, 76000).rebind);
}
