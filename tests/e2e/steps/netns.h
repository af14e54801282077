#pragma once
#include <string>

class Sandbox;
class ShellTray;

// The small network scripts/netns.sh makes: a gateway, this workstation (the driver and the program run in its
// namespace, in a Wine session of their own) and an attacker that runs arpspoof when asked.
namespace netns {

constexpr const char* kGateway = "192.0.2.1";
// MAC addresses as the program writes them.
constexpr const char* kGatewayMac = "02-FC-00-00-00-05";
constexpr const char* kAttackerMac = "66-66-66-66-66-66";
constexpr const char* kHomeRouterMac = "02-AB-00-00-00-01";  // the other network's router of the same address
// What the program's icon tells about this gateway.
constexpr const wchar_t* kPinnedTip = L"Gateway 192.0.2.1 pinned to 02-FC-00-00-00-05";
constexpr const wchar_t* kNotPinnedTip = L"Gateway 192.0.2.1 not pinned: run XirARP as administrator";
constexpr const wchar_t* kAttackedTip = L"Gateway 192.0.2.1 answered as 66-66-66-66-66-66, pinned 02-FC-00-00-00-05";
constexpr const wchar_t* kAwayTip = L"Gateway 192.0.2.1 not on this network (02-AB-00-00-00-01 answers): not pinned";
constexpr const wchar_t* kSilentTip =
    L"Gateway 192.0.2.1 does not answer through its pin 02-FC-00-00-00-05: down, replaced or attacked";

// A client copy in the sandbox that binds this gateway, by default at a long interval: in a case's time only the
// first binding and the program's own watch run "arp -s".
// With a collector, the copy sends its alerts there.
std::string gatewayClientCopy(const Sandbox& sandbox, int32_t interval = 600, const std::string& syslog = "");

// Empty inside the network; otherwise why the driver is not there (the cases that need it skip with it).
std::string unavailableReason();

// Runs a Linux program by its path with the arguments as one text (no double quotes) and waits until it ended;
// its output, standard error included, or "" when it could not start or did not end within 30 s.
std::string runLinux(const std::string& program, const std::string& arguments);

// An action of scripts/netns.sh: "attack-start", "attack-stop", "mitm-start", "mitm-stop", "route-via ADDRESS",
// "learn-gateway"; true when it was done.
bool act(const std::string& action);

// Ends the attack and lets the real gateway answer again; true once the icon of a client whose "arp -s" changes
// nothing says "not pinned" again. On a conflict the program re-runs "arp -s" (2 s apart, then longer): ended
// while it starts one, it would leave that arp.exe hanging half-made in Wine, and the Wine session with it. Here
// it runs no more.
bool endAttackAndSettle(const ShellTray& tray);

// The workstation's entry for the gateway holds the gateway's MAC for good.
bool gatewayPinned();

// The attacker that poisons both ends, forwards everything and drops the echo replies to what the workstation sends
// through its pin: the entry stays pinned at every reading through it, and the icon says "silent"; once the attack
// ends it says pinnedTip again.
void expectPinnedThroughTheMitm(const ShellTray& tray, const std::wstring& pinnedTip);

// The laptop's moves, each a step of its own: the router behind its port swapped with the link up keeps the pin,
// silent; unplugged and plugged into the other network, the home router is reachable and the icon says "away"; back
// at the office it says pinnedTip again with the gateway pinned.
void expectAwayAndBack(const ShellTray& tray, const std::wstring& pinnedTip);

// The workstation's entry for the gateway as the kernel holds it ("ip neigh show"): its MAC written as the
// program writes MACs and its state ("PERMANENT", "REACHABLE", ...); both empty when there is none.
struct NeighbourEntry {
    std::string mac;
    std::string state;
};
NeighbourEntry gatewayEntry();

}  // namespace netns
