#include <gtest/gtest.h>

#include <cstring>

#include "net/adapter_selection.h"
#include "net/arp_match.h"
#include "net/gateway_watch.h"

namespace {

AdapterInfo adapter(uint32_t index, const char* ip, const char* gateway) {
    AdapterInfo info;
    info.index = index;
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
        selectLocalAdapter({adapter(1, "10.0.0.5", ""), adapter(2, "", "10.0.0.1"), adapter(3, "0.0.0.0", "")})->index,
        3u);
    EXPECT_EQ(selectLocalAdapter({adapter(7, "", "")})->index, 7u);
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

const uint32_t kWatchedGateway = networkOrder(192, 0, 2, 1);

ArpRow gatewayRow(const MacBytes& mac, uint32_t type, uint32_t addr = kWatchedGateway) {
    ArpRow r;
    r.addr = addr;
    r.type = type;
    r.physAddrLen = 6;
    for (size_t i = 0; i < mac.size(); ++i)
        r.physAddr[i] = mac[i];
    return r;
}

constexpr MacBytes kPinnedMac = {0x02, 0xFC, 0x00, 0x00, 0x00, 0x05};
constexpr MacBytes kForgedMac = {0x66, 0x66, 0x66, 0x66, 0x66, 0x66};
constexpr uint32_t kDynamic = 3, kStatic = 4, kInvalid = 2;

}  // namespace

TEST(NetGatewayWatch, OnlyAStaticRowWithThePinnedBytesProtects) {
    // The stored text may have one-digit groups, either case, either separator: the bytes count.
    for (const char* gwmac : {"2-fc-0-0-0-5", "02:FC:00:00:00:05", "02-Fc-00-0-00-05"}) {
        SCOPED_TRACE(gwmac);
        auto watch = GatewayWatch::forBinding("192.0.2.1", gwmac);
        ASSERT_TRUE(watch);
        watch->bindCommandRan(0);
        EXPECT_EQ(watch->check({gatewayRow(kPinnedMac, kStatic)}, 100).state, GatewayState::Protected);
    }
    auto watch = GatewayWatch::forBinding("192.0.2.1", "02-FC-00-00-00-05");
    watch->bindCommandRan(0);
    // The right MAC learnt dynamically means the bind command did not take.
    EXPECT_EQ(watch->check({gatewayRow(kPinnedMac, kDynamic)}, 5000).state, GatewayState::NotInEffect);
    // Rows of other addresses, and incomplete rows of the gateway, say nothing either way.
    const std::vector<ArpRow> noise = {gatewayRow(kForgedMac, kStatic, networkOrder(192, 0, 2, 9)),
                                       gatewayRow({}, kInvalid),
                                       gatewayRow(kForgedMac, kDynamic, networkOrder(1, 0, 2, 192))};
    EXPECT_EQ(watch->check(noise, 5000).state, GatewayState::NotInEffect);
    std::vector<ArpRow> protectedRows = noise;
    protectedRows.push_back(gatewayRow(kPinnedMac, kStatic));
    const GatewayVerdict verdict = watch->check(protectedRows, 5000);
    EXPECT_EQ(verdict.state, GatewayState::Protected);
    EXPECT_FALSE(verdict.rebind);

    for (const char* gwip : {"", "192.0.2", "192.0.2.01", "192.0.2.1 "})
        EXPECT_FALSE(GatewayWatch::forBinding(gwip, "02-FC-00-00-00-05")) << gwip;
    for (const char* gwmac : {"", "02-FC-00-00-00", "02-FC-00-00-00-005", "02-FC:00-00-00-05"})
        EXPECT_FALSE(GatewayWatch::forBinding("192.0.2.1", gwmac)) << gwmac;
}

TEST(NetGatewayWatch, NotInEffectOnlyThreeSecondsAfterABindCommand) {
    auto watch = GatewayWatch::forBinding("192.0.2.1", "02-FC-00-00-00-05");
    // Before any bind command there is nothing to judge, however long the table stays empty.
    EXPECT_EQ(watch->check({}, 0).state, GatewayState::Unsettled);
    EXPECT_EQ(watch->check({}, 600000).state, GatewayState::Unsettled);

    // The clock may wrap between the command and the check.
    const uint32_t ran = 0xFFFFF000u;
    watch->bindCommandRan(ran);
    EXPECT_EQ(watch->check({}, ran + 2999).state, GatewayState::Unsettled);
    EXPECT_EQ(watch->check({}, ran + 3000).state, GatewayState::NotInEffect);
    EXPECT_EQ(watch->check({}, ran + 9000).state, GatewayState::NotInEffect);
    // Every later bind command gets its own three seconds.
    watch->bindCommandRan(ran + 10000);
    EXPECT_EQ(watch->check({}, ran + 12000).state, GatewayState::Unsettled);
    EXPECT_FALSE(watch->check({}, ran + 12000).rebind);
}

TEST(NetGatewayWatch, AnotherMacIsAConflictThatRebindsAtMostEveryTwoSeconds) {
    auto watch = GatewayWatch::forBinding("192.0.2.1", "2-FC-0-0-0-5");
    // A forged dynamic row, even beside a good static row on another interface, right after a binding.
    ArpRow other = gatewayRow(kPinnedMac, kStatic);
    other.index = 7;
    const std::vector<ArpRow> attacked = {other, gatewayRow(kForgedMac, kDynamic)};
    GatewayVerdict verdict = watch->check(attacked, 1000);
    EXPECT_EQ(verdict.state, GatewayState::Conflict);
    EXPECT_EQ(verdict.answered, kForgedMac);
    EXPECT_TRUE(verdict.rebind);  // no command ran yet: at once

    EXPECT_FALSE(watch->check(attacked, 2999).rebind);
    verdict = watch->check(attacked, 3000);
    EXPECT_EQ(verdict.state, GatewayState::Conflict);
    EXPECT_TRUE(verdict.rebind);
    // The binding's own command counts as well.
    watch->bindCommandRan(4000);
    EXPECT_FALSE(watch->check(attacked, 5999).rebind);
    EXPECT_TRUE(watch->check(attacked, 6000).rebind);
    // A static row with another MAC is a conflict too; the rebind then counts as the command that ran.
    verdict = watch->check({gatewayRow(kForgedMac, kStatic)}, 8000);
    EXPECT_EQ(verdict.state, GatewayState::Conflict);
    EXPECT_TRUE(verdict.rebind);
    EXPECT_EQ(watch->check({}, 10999).state, GatewayState::Unsettled);
    EXPECT_EQ(watch->check({}, 11000).state, GatewayState::NotInEffect);
}
