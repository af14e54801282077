#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <sstream>

#include "config/client_config.h"
#include "steps/netns.h"
#include "steps/sandbox.h"
#include "steps/shell_tray.h"
#include "support/windows.h"
#include "sys/win_handles.h"

namespace netns {

namespace {

std::string environment(const char* name) {
    char value[512];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// "Z:\usr\sbin\ip" for "/usr/sbin/ip": Wine shows the Linux root as drive Z:.
std::string windowsPath(std::string path) {
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return "Z:" + path;
}

}  // namespace

std::string unavailableReason() {
    std::string skipped = environment("XIRARP_NETNS_SKIP");
    if (!skipped.empty())
        return skipped;
    if (environment("XIRARP_NETNS_STEP").empty())
        return "not started inside the attack network (scripts/netns.sh run ...)";
    return {};
}

std::string runLinux(const std::string& program, const std::string& arguments) {
    // Wine starts a Linux program with no handle to wait on and without the caller's standard output: the
    // output goes to a file of the network's folder, renamed into place once the program is done.
    static unsigned runs = 0;
    const std::string result = environment("XIRARP_NETNS_DIR") + "/run-" + std::to_string(++runs);
    std::string line = "/bin/bash -c \"" + program + " " + arguments + " >" + result + ".part 2>&1; mv " + result +
                       ".part " + result + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA("Z:\\bin\\bash", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return {};
    UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    const std::string resultForWine = windowsPath(result);
    for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(5)) {
        if (GetFileAttributesA(resultForWine.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        std::string output = readFileBytes(resultForWine);
        DeleteFileA(resultForWine.c_str());
        return output;
    }
    return {};
}

bool act(const std::string& action) {
    return runLinux("/bin/bash", "'" + environment("XIRARP_NETNS_STEP") + "' " + action).find("ok") == 0;
}

std::string gatewayClientCopy(const Sandbox& sandbox, int32_t interval, const std::string& syslog) {
    ArpSettings settings = clientSettings();
    settings.timer = interval;
    settings.syslog = syslog;
    settings.gwip = kGateway;
    settings.gwmac = kGatewayMac;
    return sandbox.copyClient(*formatClientConfig(settings));
}

bool endAttackAndSettle(const ShellTray& tray) {
    if (!act("attack-stop") || !act("learn-gateway") ||
        !waitUntilTrue([&] { return tray.tooltip() == kNotPinnedTip; }, 10000))
        return false;
    Sleep(1000);  // the last "arp -s" of the conflict, started just before, is under way
    return true;
}

bool gatewayPinned() {
    const NeighbourEntry entry = gatewayEntry();
    return entry.mac == kGatewayMac && entry.state == "PERMANENT";
}

// Reads the kernel's entry about every 200 ms for that long; false at the first reading that is not the pin.
bool pinnedThroughout(DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(100))
        if (!gatewayPinned())
            return false;
    return true;
}

void expectPinnedThroughTheMitm(const ShellTray& tray, const std::wstring& pinnedTip) {
    ASSERT_TRUE(act("mitm-start"));
    const DWORD start = GetTickCount();
    // Two intervals of the cases' 5 s and the echoes they send: long enough for the old rule to have unpinned.
    EXPECT_TRUE(pinnedThroughout(15000)) << "the gateway was unpinned during the attack";
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == kSilentTip; }, 5000)) << tray.describe();
    printf("[ figure ] two-ended attack -> silent shown: %lu ms\n", tray.firstTickWithTip(kSilentTip) - start);
    ASSERT_TRUE(act("mitm-stop"));
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == pinnedTip; }, 15000)) << tray.describe();
}

void expectAwayAndBack(const ShellTray& tray, const std::wstring& pinnedTip) {
    // Another program's "arp -d": pinned again at the next reading of the cache, not at the next interval.
    DWORD start = GetTickCount();
    runLinux("/usr/sbin/ip", "neigh del " + std::string(kGateway) + " dev eth0");
    EXPECT_TRUE(waitUntilTrue(gatewayPinned, 10000)) << "the removed entry did not come back";
    printf("[ figure ] removed entry -> pinned again: %lu ms\n", GetTickCount() - start);
    // A pin that went without the program's "arp -d" was a move: its test through the pin ends first.
    Sleep(5000);
    // The router replaced behind the same port, the link up: nobody on the link may switch the pin off.
    ASSERT_TRUE(act("swap home"));
    EXPECT_TRUE(pinnedThroughout(15000)) << "the pin went with the link up";
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == kSilentTip; }, 5000)) << tray.describe();
    // The cable out and in: a move, so the router that answers there is judged.
    start = GetTickCount();
    ASSERT_TRUE(act("plug home"));
    EXPECT_TRUE(waitUntilTrue([] { return act("reaches"); }, 30000)) << "cut off from the home router";
    const DWORD reachable = GetTickCount() - start;
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == kAwayTip; }, 30000)) << tray.describe();
    printf("[ figure ] plug home -> router reachable: %lu ms, away shown: %lu ms\n", reachable,
           GetTickCount() - start);
    start = GetTickCount();
    ASSERT_TRUE(act("plug office"));
    EXPECT_TRUE(waitUntilTrue([&] { return tray.tooltip() == pinnedTip && gatewayPinned(); }, 30000))
        << tray.describe();
    printf("[ figure ] plug office -> pinned: %lu ms\n", GetTickCount() - start);
}

NeighbourEntry gatewayEntry() {
    // "192.0.2.1 dev eth0 lladdr 02:fc:00:00:00:05 REACHABLE"
    std::istringstream words(runLinux("/usr/sbin/ip", std::string("neigh show ") + kGateway + " dev eth0"));
    NeighbourEntry entry;
    for (std::string word; words >> word;) {
        if (word == "lladdr" && words >> entry.mac) {
            for (char& c : entry.mac)
                c = c == ':' ? '-' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            words >> entry.state;
        }
    }
    return entry;
}

}  // namespace netns
