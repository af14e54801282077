#include <windows.h>

#include <string>
#include <vector>

#include "net_fake_seams.h"
#include "support/registry.h"
#include "service/gateway_guard.h"
#include "service/service_main.h"

namespace {

const std::string kBind = "arp -s 192.0.2.1 02-FC-00-00-00-05\r\n";

struct RecordedEvents : GuardOutlet {
    std::vector<GuardEvent> told;
    void tell(const GuardEvent& event) override { told.push_back(event); }
};

ArpRow gatewayRow(uint8_t last, uint32_t type) {
    ArpRow row;
    row.physAddrLen = 6;
    const uint8_t mac[6] = {0x02, 0xFC, 0x00, 0x00, 0x00, last};
    memcpy(row.physAddr, mac, sizeof mac);
    const uint8_t ip[4] = {192, 0, 2, 1};
    memcpy(&row.addr, ip, sizeof ip);
    row.type = type;
    return row;
}

class GatewayGuardTest : public FakeNetworkTest {
  protected:
    void TearDown() override {
        removeMachineSettings();
        FakeNetworkTest::TearDown();
    }
    // Moves the clock on and lets the guard run what is due.
    uint32_t after(uint32_t ms) {
        fakeNetwork().now += ms;
        return guard_.runDue();
    }
    std::vector<ServiceEvent> ids() const {
        std::vector<ServiceEvent> result;
        for (const GuardEvent& event : events_.told)
            result.push_back(event.id);
        return result;
    }

    RecordedEvents events_;
    GatewayGuard guard_{events_};
};

// One day of a service's life: it binds at once and at every interval, tells each change of state once,
// re-pins on a conflict, and stops binding while its settings are unusable.
TEST_F(GatewayGuardTest, BindsWatchesAndTellsEachChangeOnce) {
    writeMachineSettings(10, "192.0.2.1", "02-FC-00-00-00-05");
    EXPECT_EQ(guard_.reload(), 2000u);
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{kBind});

    after(2000);  // too soon after the bind to tell
    EXPECT_TRUE(events_.told.empty());
    after(2000);
    after(2000);  // still no static entry: told once
    EXPECT_EQ(ids(), std::vector<ServiceEvent>{kEventNotInEffect});

    fakeNetwork().rows = {gatewayRow(0x05, 4)};
    after(2000);
    ArpRow attacker = gatewayRow(0x66, 3);  // the attacker's own row names it
    attacker.addr += 0x41000000u;           // 192.0.2.66
    fakeNetwork().rows = {gatewayRow(0x66, 3), attacker};
    after(2000);  // the interval's bind, and the pin gone: pinned again as after a move
    EXPECT_EQ(after(2000), 2000u);
    ASSERT_EQ(ids(), (std::vector<ServiceEvent>{kEventNotInEffect, kEventProtected, kEventConflict}));
    EXPECT_EQ(events_.told.back().inserts,
              (std::vector<std::string>{"192.0.2.1", "02-FC-00-00-00-66", "02-FC-00-00-00-05", "192.0.2.66"}));
    // At start, at the interval, for the lost pin and for the conflict.
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>(4, kBind));

    // The gateway MAC is gone from the key: told once, nothing bound, read again a minute later.
    removeMachineSetting("gwmac");
    fakeNetwork().commands.clear();
    EXPECT_EQ(guard_.reload(), 60000u);
    EXPECT_EQ(after(60000), 60000u);
    EXPECT_TRUE(fakeNetwork().commands.empty());
    EXPECT_EQ(events_.told.back().id, kEventSettingsInvalid);
    EXPECT_EQ(events_.told.back().inserts, (std::vector<std::string>{"gwmac", "60"}));
    EXPECT_EQ(events_.told.size(), 4u);

    writeMachineSettings(0, "192.0.2.1", "02-FC-00-00-00-05");  // no interval stored
    after(60000);
    EXPECT_EQ(events_.told.back().inserts[0], "timer");
    writeMachineSettings(5, "192.0.2.1", "02-FC-00-00-00-05");
    guard_.reload();  // PARAMCHANGE: bound at once
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{kBind});

    // A collector value that cannot be read is told once, by its name; the pin goes on.
    writeMachineSettings(5, "192.0.2.1", "02-FC-00-00-00-05", "tls://collector.example");
    const size_t told = events_.told.size();
    guard_.reload();
    guard_.reload();
    ASSERT_EQ(events_.told.size(), told + 1);
    EXPECT_EQ(events_.told.back().inserts[0], "syslog");
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>(3, kBind));
}

}  // namespace

// Started with /service by a user rather than by the service manager: nothing to show, it ends at once with an
// error code (a hanging dispatcher would hold the process for ever).
TEST(ServiceEntry, OutsideTheServiceManagerItEndsAtOnceWithAnError) {
    const DWORD start = GetTickCount();
    EXPECT_NE(runAsService(), 0);
    EXPECT_LT(GetTickCount() - start, 5000u);
}
