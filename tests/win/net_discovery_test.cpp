#include <winsock2.h>
#include <windows.h>

#include "net/discovery.h"
#include "net_fake_seams.h"

namespace {

using MacTexts = std::array<std::string, 6>;

AdapterInfo adapter(const char* ip, const char* gateway, const char* mac) {
    AdapterInfo info;
    info.ipAddress = ip;
    info.gateway = gateway;
    info.mac = parseMacBytes(mac).value_or(MacBytes{});
    return info;
}

// Interface 0 is the adapters'; a row of another belongs to another network.
ArpRow row(const char* ip, MacBytes mac, uint32_t type, uint32_t interfaceIndex = 0) {
    ArpRow r;
    r.index = interfaceIndex;
    r.addr = inet_addr(ip);
    r.physAddrLen = 6;
    for (size_t i = 0; i < mac.size(); ++i)
        r.physAddr[i] = mac[i];
    r.type = type;
    return r;
}

constexpr uint32_t kDynamic = 3;
constexpr uint32_t kStatic = 4;

// Under Wine the first adapters listed report 0.0.0.0; the connected one follows.
class DiscoverNetworkTest : public FakeNetworkTest {
  protected:
    void SetUp() override {
        FakeNetworkTest::SetUp();
        fakeNetwork().adapters = {adapter("0.0.0.0", "0.0.0.0", "00-00-00-00-00-00"),
                                  adapter("192.168.1.20", "192.168.1.1", "0A-1B-2C-3D-4E-5F"),
                                  adapter("10.1.1.2", "10.1.1.1", "11-11-11-11-11-11")};
        fakeNetwork().rows = {row("192.168.1.7", {1, 2, 3, 4, 5, 6}, kDynamic),
                              row("10.0.0.1", {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, kDynamic),
                              row("192.168.1.1", {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}, kDynamic, 9),
                              row("192.168.1.1", {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}, kStatic),
                              row("192.168.1.1", {0xBB, 0xBB, 0xBB, 0xBB, 0xBB, 0xBB}, kDynamic)};
    }

    static void expectLocalShown(const NetworkDiscovery& found) {
        EXPECT_TRUE(found.localIpKnown);
        EXPECT_EQ(found.localIp, (Ipv4Bytes{192, 168, 1, 20}));
        EXPECT_TRUE(found.localMacKnown);
        EXPECT_EQ(found.localMac, (MacTexts{"0A", "1B", "2C", "3D", "4E", "5F"}));
    }
    static void expectNoLookup() {
        EXPECT_TRUE(fakeNetwork().commands.empty());
        EXPECT_TRUE(fakeNetwork().waits.empty());
        EXPECT_EQ(fakeNetwork().tableReads, 0);
    }
};

}  // namespace

TEST_F(DiscoverNetworkTest, StoredPairIsShownWithoutPingOrTableRead) {
    NetworkDiscovery found = discoverNetwork("10.9.8.7", "0:1a:2b:3c:4d:5e");
    expectLocalShown(found);
    EXPECT_TRUE(found.gatewayIpKnown);
    EXPECT_EQ(found.gatewayIp, (Ipv4Bytes{10, 9, 8, 7}));
    EXPECT_TRUE(found.gatewayMacKnown);
    EXPECT_EQ(found.gatewayMac, (MacTexts{"00", "1A", "2B", "3C", "4D", "5E"}));
    EXPECT_EQ(found.gwmac, "0:1a:2b:3c:4d:5e");
    expectNoLookup();
}

TEST_F(DiscoverNetworkTest, NothingStoredPingsTheAdapterGatewayAndLearnsItsMac) {
    NetworkDiscovery found = discoverNetwork("", "");
    expectLocalShown(found);
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"ping 192.168.1.1\n"});
    EXPECT_EQ(fakeNetwork().waits, std::vector<unsigned>{1000});
    EXPECT_EQ(fakeNetwork().tableReads, 1);
    EXPECT_EQ(found.gatewayIp, (Ipv4Bytes{192, 168, 1, 1}));
    // The first row of the address on the adapter's interface wins, the static one left by an earlier binding
    // included.
    EXPECT_TRUE(found.gatewayMacKnown);
    EXPECT_EQ(found.gatewayMac, (MacTexts{"00", "11", "22", "33", "44", "55"}));
    EXPECT_EQ(found.gwmac, "00-11-22-33-44-55");
}

TEST_F(DiscoverNetworkTest, StoredIpWithoutMacLooksUpTheStoredAddressNotTheAdapterGateway) {
    NetworkDiscovery found = discoverNetwork("10.0.0.1", "");
    EXPECT_EQ(found.gatewayIp, (Ipv4Bytes{10, 0, 0, 1}));
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"ping 10.0.0.1\n"});
    EXPECT_EQ(found.gatewayMac, (MacTexts{"AA", "AA", "AA", "AA", "AA", "AA"}));
    EXPECT_EQ(found.gwmac, "AA-AA-AA-AA-AA-AA");
    // An address the cache does not hold leaves the MAC unknown rather than borrowing the adapter gateway's.
    fakeNetwork().commands.clear();
    found = discoverNetwork("10.0.0.2", "");
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"ping 10.0.0.2\n"});
    EXPECT_FALSE(found.gatewayMacKnown);
    EXPECT_EQ(found.gwmac, "");
}

TEST_F(DiscoverNetworkTest, GatewayMissingFromTheCacheLeavesTheMacUnknown) {
    fakeNetwork().rows.resize(3);  // another network's host of the address is not the adapter's gateway
    NetworkDiscovery found = discoverNetwork("", "");
    EXPECT_EQ(fakeNetwork().commands.size(), 1u);
    EXPECT_TRUE(found.gatewayIpKnown);
    EXPECT_FALSE(found.gatewayMacKnown);
    EXPECT_EQ(found.gwmac, "");
}

TEST_F(DiscoverNetworkTest, EachFailureStopsAtItsStep) {
    // Unreadable adapter list: nothing is shown, the stored texts stay.
    fakeNetwork().adaptersReadable = false;
    NetworkDiscovery found = discoverNetwork("10.9.8.7", "00-11-22-33-44-55");
    EXPECT_FALSE(found.localIpKnown || found.localMacKnown || found.gatewayIpKnown || found.gatewayMacKnown);
    EXPECT_EQ(found.gwmac, "00-11-22-33-44-55");
    fakeNetwork().adaptersReadable = true;

    // An adapter address without dots: nothing is shown.
    fakeNetwork().adapters = {adapter("fe80", "192.168.1.1", "0A-1B-2C-3D-4E-5F")};
    found = discoverNetwork("", "");
    EXPECT_FALSE(found.localIpKnown || found.localMacKnown || found.gatewayIpKnown || found.gatewayMacKnown);

    // A hand-edited gateway text: the local fields only.
    fakeNetwork().adapters = {adapter("192.168.1.20", "192.168.1.1", "0A-1B-2C-3D-4E-5F")};
    found = discoverNetwork("gateway", "");
    expectLocalShown(found);
    EXPECT_FALSE(found.gatewayIpKnown || found.gatewayMacKnown);

    // A stored MAC without separators: the gateway address is shown, its MAC is not, nothing is pinged.
    found = discoverNetwork("10.9.8.7", "001122334455");
    EXPECT_TRUE(found.gatewayIpKnown);
    EXPECT_FALSE(found.gatewayMacKnown);
    EXPECT_EQ(found.gwmac, "001122334455");
    expectNoLookup();

    // An adapter without a gateway (0.0.0.0) and nothing stored: no gateway to show or ping.
    fakeNetwork().adapters = {adapter("192.168.1.20", "0.0.0.0", "0A-1B-2C-3D-4E-5F")};
    found = discoverNetwork("", "");
    expectLocalShown(found);
    EXPECT_FALSE(found.gatewayIpKnown || found.gatewayMacKnown);
    expectNoLookup();
}

TEST_F(DiscoverNetworkTest, UnusableGatewayTextsAreNeitherPingedNorMatched) {
    // None is a gateway's address; the all-ones one would match a broadcast row.
    fakeNetwork().rows.push_back(row("255.255.255.255", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, kStatic));
    for (const char* text : {"", "0.0.0.0", "gateway", "300.1.1.1", "255.255.255.255"})
        EXPECT_FALSE(resolveGatewayMac(text, 0)) << text;
    expectNoLookup();
    // A usable stored gwip is looked up even when the adapter reports no gateway.
    fakeNetwork().adapters = {adapter("192.168.1.20", "", "0A-1B-2C-3D-4E-5F")};
    NetworkDiscovery found = discoverNetwork("192.168.1.1", "");
    EXPECT_TRUE(found.gatewayIpKnown);
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"ping 192.168.1.1\n"});
    EXPECT_EQ(found.gwmac, "00-11-22-33-44-55");
}
