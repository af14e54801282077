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

TEST(NetArpMatch, FirstRowWithTheAddressWinsWhateverItsTypeAndLength) {
    const uint32_t gateway = networkOrder(192, 168, 1, 1);
    std::vector<ArpRow> rows = {row(networkOrder(192, 168, 1, 2), 0x10), row(gateway, 0xA0, /*static*/ 4, 0),
                                row(gateway, 0xB0), row(networkOrder(255, 255, 255, 255), 0xFF)};
    EXPECT_EQ(matchArpRow(rows, gateway), (MacBytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
    // An invalid row is taken too: only the address is compared.
    rows[1].type = 2;
    EXPECT_EQ(matchArpRow(rows, gateway), (MacBytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
    EXPECT_FALSE(matchArpRow(rows, networkOrder(192, 168, 1, 3)));
    EXPECT_FALSE(matchArpRow({}, gateway));
}

namespace {

ArpRow gatewayRow(const MacBytes& mac, uint32_t type, uint32_t addr = networkOrder(192, 0, 2, 1)) {
    ArpRow r = row(addr, 0, type);
    std::copy(mac.begin(), mac.end(), r.physAddr);
    return r;
}

constexpr MacBytes kPinnedMac = {0x02, 0xFC, 0x00, 0x00, 0x00, 0x05};
constexpr MacBytes kForgedMac = {0x66, 0x66, 0x66, 0x66, 0x66, 0x66};

}  // namespace

TEST(NetGatewayWatch, OnlyAStaticRowWithThePinnedBytesProtectsAndNoneIsJudgedBeforeThreeSeconds) {
    // The stored text may have one-digit groups, either case, either separator: the bytes count.
    for (const char* gwmac : {"2-fc-0-0-0-5", "02:FC:00:00:00:05"}) {
        auto watch = GatewayWatch::forBinding("192.0.2.1", gwmac);
        ASSERT_TRUE(watch) << gwmac;
        EXPECT_EQ(watch->check({}, 600000).state, GatewayState::Unsettled);  // no bind command yet
        const uint32_t ran = 0xFFFFF000u;                                    // the clock wraps in between
        watch->bindCommandRan(ran);
        EXPECT_EQ(watch->check({gatewayRow(kPinnedMac, 4)}, ran + 100).state, GatewayState::Protected) << gwmac;
        // The right MAC learnt dynamically means the bind command did not take; other addresses and an
        // incomplete row of the gateway say nothing either way.
        const std::vector<ArpRow> unpinned = {gatewayRow(kPinnedMac, 3),
                                              gatewayRow(kForgedMac, 4, networkOrder(192, 0, 2, 9)), gatewayRow({}, 2),
                                              gatewayRow(kForgedMac, 3, networkOrder(1, 2, 0, 192))};
        EXPECT_EQ(watch->check(unpinned, ran + 2999).state, GatewayState::Unsettled);
        EXPECT_EQ(watch->check(unpinned, ran + 3000).state, GatewayState::NotInEffect);
    }
}

TEST(NetGatewayWatch, AnotherMacIsAConflictThatRebindsAtMostEveryTwoSeconds) {
    auto watch = GatewayWatch::forBinding("192.0.2.1", "2-FC-0-0-0-5");
    // A forged dynamic row outweighs a good static row on another interface; no command ran yet: at once.
    const std::vector<ArpRow> attacked = {gatewayRow(kPinnedMac, 4), gatewayRow(kForgedMac, 3)};
    GatewayVerdict verdict = watch->check(attacked, 1000);
    EXPECT_EQ(verdict.state, GatewayState::Conflict);
    EXPECT_EQ(verdict.answered, kForgedMac);
    EXPECT_TRUE(verdict.rebind);
    EXPECT_FALSE(watch->check(attacked, 2999).rebind);
    EXPECT_TRUE(watch->check(attacked, 3000).rebind);
    // The binding's own command counts as well, and so does the rebind for the three seconds.
    watch->bindCommandRan(4000);
    EXPECT_FALSE(watch->check(attacked, 5999).rebind);
    EXPECT_TRUE(watch->check({gatewayRow(kForgedMac, 4)}, 6000).rebind);
    EXPECT_EQ(watch->check({}, 8999).state, GatewayState::Unsettled);
}
