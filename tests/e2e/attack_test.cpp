// A real ARP attack on the workstation the program protects: arpspoof in an attacker's network namespace
// tells the workstation that the gateway's address is at the attacker's MAC. The driver and the program run in
// the workstation's namespace (scripts/netns.sh starts the whole Wine session there); elsewhere these cases
// skip. The driver reads the kernel's entry with "ip neigh" and the program's icon as the shell would.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "steps/collector.h"
#include "steps/netns.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "steps/service.h"
#include "steps/shell_tray.h"
#include "support/files.h"
#include "support/registry.h"
#include "support/windows.h"

namespace {

const std::string kBindCommand = std::string("arp -s ") + netns::kGateway + " " + netns::kGatewayMac + "\r\n";
// The stand-in's "arp -s" takes effect on the kernel's table only when asked; otherwise it changes nothing,
// as arp.exe does for a user without administrator rights.
const std::vector<std::string> kArpTakesEffect = {"XIRARP_ARP_EFFECT=neighbour"};
constexpr DWORD kArpReplySpacingMs = 2000;  // arpspoof's

class Attack : public CleanSettingsTest {
  protected:
    void SetUp() override {
        std::string reason = netns::unavailableReason();
        if (!reason.empty())
            GTEST_SKIP() << reason;
        CleanSettingsTest::SetUp();
        ASSERT_TRUE(netns::act("learn-gateway"));
        ASSERT_EQ(netns::gatewayEntry().mac, netns::kGatewayMac);
    }
    void TearDown() override {
        if (IsSkipped())
            return;
        EXPECT_TRUE(netns::act("attack-stop"));
        CleanSettingsTest::TearDown();
    }
};

const std::wstring kPinnedByServiceTip = std::wstring(netns::kPinnedTip) + L" (service)";
constexpr const wchar_t* kRoutedElsewhereTip = L"Default gateway is now 192.0.2.99, not the pinned 192.0.2.1";

// The service's arp.exe takes effect while this lives; a user's copy is started without the environment that
// would give it the same, as for a standard user. The service manager gives the service no environment of the
// session: the stand-in reads the word from a file beside it instead.
class ServiceArpTakesEffect {
  public:
    ServiceArpTakesEffect() : marker_(systemFolder() + "\\arp-effect.txt") { writeFileBytes(marker_, "neighbour"); }
    ~ServiceArpTakesEffect() { DeleteFileA(marker_.c_str()); }

  private:
    std::string marker_;
};

// The messages the collector heard since it had heard `before`, with that MSGID.
std::vector<collector::Message> heard(size_t before, const std::string& msgId) {
    std::vector<collector::Message> all = collector::messages(), found;
    for (size_t i = before; i < all.size(); ++i)
        if (all[i].msgId == msgId)
            found.push_back(all[i]);
    return found;
}

// The meta element's sequence id of a message; 0 without one.
unsigned long sequenceId(const collector::Message& message) {
    const size_t at = message.structuredData.find("sequenceId=\"");
    return at == std::string::npos ? 0 : strtoul(message.structuredData.c_str() + at + 12, nullptr, 10);
}

}  // namespace

TEST_F(Attack, WithoutTheProgramTheForgedMacTakesTheGatewaysEntry) {
    ASSERT_TRUE(netns::act("attack-start"));
    EXPECT_TRUE(waitUntilTrue([] { return netns::gatewayEntry().mac == netns::kAttackerMac; }, 10000));
}

TEST_F(Attack, AClientKeepsTheGatewaysMacThroughTheAttackAndItsIconSaysPinned) {
    ShellTray tray;
    ASSERT_TRUE(tray.receivesNotifications());
    Sandbox sandbox("attack-pinned");
    // At a short interval, so that a router replaced with the link up is found within a case's time.
    RunningProgram client(netns::gatewayClientCopy(sandbox, 5), sandbox.folder(), kArpTakesEffect);
    ASSERT_TRUE(waitUntilTrue(netns::gatewayPinned)) << "the first binding did not pin the gateway";
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == netns::kPinnedTip; }, 10000)) << tray.describe();

    ASSERT_TRUE(netns::act("attack-start"));
    bool heldEveryTime = true;
    for (DWORD start = GetTickCount(); heldEveryTime && GetTickCount() - start < 3 * kArpReplySpacingMs; Sleep(20))
        heldEveryTime = netns::gatewayPinned();
    EXPECT_TRUE(heldEveryTime) << "the forged reply took the gateway's entry";
    EXPECT_EQ(tray.tooltip(), netns::kPinnedTip);
    EXPECT_TRUE(tray.balloons().empty());
    EXPECT_TRUE(client.running());

    ASSERT_TRUE(netns::act("attack-stop"));
    netns::expectPinnedThroughTheMitm(tray, netns::kPinnedTip);

    // A default route through another address of the link: the pin protects nothing, and the icon says so. The
    // route is read again every 10 s, each way.
    ASSERT_TRUE(netns::act("route-via 192.0.2.99"));
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == kRoutedElsewhereTip; }, 20000)) << tray.describe();
    ASSERT_TRUE(netns::act("route-via 192.0.2.1"));
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == netns::kPinnedTip; }, 20000)) << tray.describe();

    netns::expectAwayAndBack(tray, netns::kPinnedTip);
    EXPECT_TRUE(client.running());
}

TEST_F(Attack, WithoutRightsTheIconSaysNotPinnedThenShowsTheAttackWithABalloonWithinThreeSeconds) {
    ShellTray tray;
    ASSERT_TRUE(tray.receivesNotifications());
    Sandbox sandbox("attack-refused");
    ASSERT_TRUE(collector::start());
    const size_t before = collector::messages().size();
    RunningProgram client(netns::gatewayClientCopy(sandbox, 600, "192.0.2.5"), sandbox.folder());
    ASSERT_TRUE(sandbox.waitForRecorded(kBindCommand));
    ASSERT_TRUE(waitUntilTrue([&] { return tray.tooltip() == netns::kNotPinnedTip; }, 10000)) << tray.describe();
    std::string firstLook;  // the icon the program added, before anything was known
    for (const ShellTray::Notice& notice : tray.notices())
        if (firstLook.empty())
            firstLook = notice.iconBits;
    ASSERT_FALSE(firstLook.empty());
    EXPECT_NE(tray.iconBits(), firstLook);
    ASSERT_EQ(tray.balloons().size(), 1u);
    EXPECT_EQ(tray.balloons()[0].balloonFlags & NIIF_ICON_MASK, static_cast<DWORD>(NIIF_WARNING));

    // The workstation knows the attacker's own address: the balloon names it.
    netns::runLinux("/bin/ping", "-c 1 -W 1 192.0.2.66");
    ASSERT_TRUE(netns::act("attack-start"));
    const DWORD forged = GetTickCount();
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == netns::kAttackedTip; }, 10000)) << tray.describe();
    const DWORD shown = tray.firstTickWithTip(netns::kAttackedTip);
    ASSERT_NE(shown, 0u);
    RecordProperty("shown_ms_after_the_first_forged_reply", static_cast<int>(shown - forged));
    EXPECT_LE(shown - forged, 3000u);
    std::vector<ShellTray::Notice> balloons = tray.balloons();
    ASSERT_EQ(balloons.size(), 2u);
    EXPECT_LE(balloons[1].tick - forged, 3000u);
    EXPECT_EQ(balloons[1].balloonFlags & NIIF_ICON_MASK, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_NE(balloons[1].balloonText.find(L"Suspects: 192.0.2.66"), std::wstring::npos) << tray.describe();
    EXPECT_NE(tray.iconBits(), firstLook);

    // Once per change: arpspoof goes on, the balloon is not shown again.
    Sleep(2 * kArpReplySpacingMs);
    EXPECT_EQ(tray.balloons().size(), 2u);
    EXPECT_EQ(tray.tooltip(), netns::kAttackedTip);

    // The real gateway answers again: still not pinned, said again.
    EXPECT_TRUE(netns::endAttackAndSettle(tray)) << tray.describe();
    EXPECT_EQ(tray.balloons().size(), 3u);

    // The collector heard each change over UDP, parsed as RFC 5424: authpriv, the attack as an alert naming the
    // attacker among the suspects, the pairs after the BOM.
    ASSERT_TRUE(waitUntilTrue([&] { return heard(before, "CONFLICT").size() == 1; }, 5000));
    const collector::Message conflict = heard(before, "CONFLICT")[0];
    EXPECT_EQ(conflict.version + conflict.appName + conflict.facility + conflict.severity + conflict.input,
              "1XirARP101imudp");
    EXPECT_EQ(conflict.msg.rfind("\xEF\xBB\xBFstate=CONFLICT gateway=192.0.2.1 ", 0), 0u) << conflict.msg;
    EXPECT_NE(conflict.msg.find("answered=66-66-66-66-66-66"), std::string::npos) << conflict.msg;
    EXPECT_NE(conflict.msg.find("suspects=192.0.2.66"), std::string::npos) << conflict.msg;
    EXPECT_NE(conflict.msg.find("host=192.0.2.10"), std::string::npos) << conflict.msg;
    EXPECT_NE(conflict.structuredData.find("[origin software=\"XirARP\""), std::string::npos);
    EXPECT_EQ(heard(before, "NOT_IN_EFFECT").size(), 2u);
    EXPECT_EQ(heard(before, "STATUS").size(), 1u);
}

TEST_F(Attack, TheServicePinsThroughTheAttackWhileAStandardUsersIconSaysSo) {
    ShellTray tray;
    ASSERT_TRUE(tray.receivesNotifications());
    Sandbox sandbox("attack-service");  // puts today's stand-ins in the system folder
    ServiceArpTakesEffect serviceArp;
    InstalledService service(5, netns::kGateway, netns::kGatewayMac);
    ASSERT_TRUE(collector::start());
    size_t before = collector::messages().size();
    // A collector value it cannot read (TLS comes later): the service pins all the same, and sends nothing.
    writeMachineSettings(5, netns::kGateway, netns::kGatewayMac, "tls://192.0.2.5");
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(waitUntilTrue(netns::gatewayPinned)) << "the service did not pin the gateway";
    EXPECT_EQ(collector::messages().size(), before);
    // Named over TCP, read at its next interval.
    writeMachineSettings(5, netns::kGateway, netns::kGatewayMac, "tcp://192.0.2.5");
    EXPECT_TRUE(waitUntilTrue([&] { return heard(before, "STATUS").size() == 1; }, 15000));
    RunningProgram client(netns::gatewayClientCopy(sandbox), sandbox.folder(), {}, Rights::Limited);
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == kPinnedByServiceTip; }, 10000)) << tray.describe();

    ASSERT_TRUE(netns::act("attack-start"));
    bool heldEveryTime = true;
    for (DWORD start = GetTickCount(); heldEveryTime && GetTickCount() - start < 3 * kArpReplySpacingMs; Sleep(20))
        heldEveryTime = netns::gatewayPinned();
    EXPECT_TRUE(heldEveryTime) << "the forged reply took the gateway's entry";
    EXPECT_EQ(tray.tooltip(), kPinnedByServiceTip);

    // The service keeps its pin through the two-ended attack, silent, and finds its gateway away and back after a
    // move; the user's copy beside it says so.
    ASSERT_TRUE(netns::act("attack-stop"));
    // The collector is down while the gateway turns silent and back: the service keeps what it could not send and
    // sends it in order once the collector is back, within its 30 s back-off.
    before = collector::messages().size();
    const size_t last = collector::messages().empty() ? 0 : sequenceId(collector::messages().back());
    ASSERT_TRUE(collector::stop());
    netns::expectPinnedThroughTheMitm(tray, kPinnedByServiceTip);
    ASSERT_TRUE(collector::start());
    const DWORD restarted = GetTickCount();
    EXPECT_TRUE(waitUntilTrue([&] { return heard(before, "PINNED").size() == 1; }, 35000));
    printf("[ figure ] collector back -> held messages received: %lu ms\n", GetTickCount() - restarted);
    std::vector<collector::Message> held = collector::messages();
    held.erase(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(before));
    ASSERT_GE(held.size(), 2u);
    EXPECT_EQ(held[0].msgId + " " + held[1].msgId, "SILENT PINNED");
    for (size_t i = 0; i < held.size(); ++i)
        EXPECT_EQ(sequenceId(held[i]), last + 1 + i) << "lost or out of order: " << held[i].msgId;
    netns::expectAwayAndBack(tray, kPinnedByServiceTip);
    EXPECT_EQ(sandbox.countRecorded(kBindCommand), 0u) << "the user's copy ran arp beside the service";
}
