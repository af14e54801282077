#include <gtest/gtest.h>

#include <cstring>

#include "net/adapter_selection.h"
#include "net/arp_match.h"

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
