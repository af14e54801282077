// Windows-side half of scripts/benchmark.sh. Each command starts the programs itself, so Wine's own cost of
// starting a process is the same for XirARP and the empty dialog, and prints "name value" lines that the
// script turns into its table. Times come from QueryPerformanceCounter.
//
//   xirarp_bench startup <runs>        alternating start-ups of XirARP and its references
//   xirarp_bench resources <expiries>  resources after start, and XirARP's after that many timer expiries
//   xirarp_bench timing <interval> <n> Apply confirmed -> first "arp -s", then n spacings
//   xirarp_bench idle <seconds>        CPU time of XirARP hidden in the notification area
//   xirarp_bench selfcheck             proves the resource readers on a probe process
//   xirarp_bench detection <runs>      first forged ARP reply -> attack shown on the icon, and its message at the
//                                      syslog collector (inside scripts/netns.sh)
//   xirarp_bench install               "XirARP-Client.exe /install" -> the service's first "arp -s"
//   xirarp_bench silent <interval> <n> the two-ended attack -> "silent" shown, then the window's longest stall
//                                      and n spacings of its binding while silent (inside scripts/netns.sh)
//   xirarp_bench service <seconds>     StartService -> first "arp -s", the service's memory and idle CPU
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_service.h"
#include "steps/collector.h"
#include "steps/netns.h"
#include "steps/process_resources.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "steps/shell_tray.h"
#include "steps/timer_expiries.h"
#include "support/registry.h"
#include "support/user_folders.h"
#include "support/windows.h"

namespace {

const char* const kEmptyCaption = "Empty Dialog";
const char* const kGatewayIp = "192.168.7.1";
const char* const kGatewayMac = "0A-0B-22-33-44-55";
const std::string kBindCommand = std::string("arp -s ") + kGatewayIp + " " + kGatewayMac + "\r\n";
const char* const kProbeVariable = "XIRARP_BENCH_PROBE";
constexpr UINT kProbeGrow = WM_APP + 1;
constexpr int kProbeBitmaps = 100;
constexpr int kProbeChildren = 5;
constexpr SIZE_T kProbeMemory = 8 << 20;

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double ticksToMs(long long ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct VisibleSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK findVisible(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<VisibleSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The process's visible top-level window, polled as often as the clock allows; null after the deadline.
HWND waitForVisibleWindow(DWORD processId, bool fieldsFilled, DWORD milliseconds = 30000) {
    const double deadline = nowMs() + milliseconds;
    while (nowMs() < deadline) {
        VisibleSearch search{processId};
        EnumWindows(findVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found && (!fieldsFilled || (!windowText(GetDlgItem(search.found, 1008)).empty() &&
                                               !windowText(GetDlgItem(search.found, 1002)).empty())))
            return search.found;
        Sleep(1);
    }
    return nullptr;
}

void storeSettings(DWORD interval) {
    removeProgramSettings();
    writeSettingDword("language", 0);
    writeSettingDword("timer", interval);
    writeSettingString("gwip", kGatewayIp);
    writeSettingString("gwmac", kGatewayMac);
    writeSettingString("pwd", "0123456789abcdef0123456789abcdef");
}

void printResources(const char* name, const ProcessResources& resources) {
    printf("%s_gdi %ld\n%s_user %ld\n%s_private %lld\n", name, resources.gdiObjects, name, resources.userObjects, name,
           resources.privateBytes);
}

double median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The programs start-up and memory are compared between: XirARP, the bare empty dialog, the same dialog
// loading XirARP's system libraries, and XirARP's own template and resources with no code behind them (the
// floor: visible is ready, as there is no code to fill its fields).
struct Contender {
    const char* name;
    const char* fileName;
    bool isXirArp;
};
const Contender kContenders[] = {{"xirarp", "XirARP.exe", true},
                                 {"empty", "EmptyDlg.exe", false},
                                 {"imports", "EmptyDlgImports.exe", false},
                                 {"floor", "XirArpFloor.exe", false}};
constexpr int kContenderCount = static_cast<int>(sizeof kContenders / sizeof kContenders[0]);

// The contender's copy in the sandbox.
std::string placeContender(const Sandbox& sandbox, const Contender& contender) {
    if (contender.isXirArp)
        return sandbox.copyProgram();
    const std::string path = sandbox.path(contender.fileName);
    CopyFileA((driverFolder() + "\\" + contender.fileName).c_str(), path.c_str(), FALSE);
    return path;
}

int startup(int runs) {
    Sandbox sandbox("bench-startup");
    std::string paths[kContenderCount];
    for (int which = 0; which < kContenderCount; ++which)
        paths[which] = placeContender(sandbox, kContenders[which]);
    storeSettings(60);
    std::vector<double> times[kContenderCount];
    // One unmeasured start of each first: the first start after a build also pays for the file cache.
    for (int run = -1; run < runs; ++run) {
        for (int which = 0; which < kContenderCount; ++which) {
            const Contender& contender = kContenders[which];
            const double start = nowMs();
            RunningProgram started(paths[which], sandbox.folder());
            HWND window = started.started() ? waitForVisibleWindow(started.processId(), contender.isXirArp) : nullptr;
            const double ready = nowMs();
            if (!window) {
                printf("startup_error %s did not show its window\n", contender.fileName);
                return 1;
            }
            if (run >= 0)
                times[which].push_back(ready - start);
            // Each closed by its own exit command, so XirARP takes its icon away as a user's exit does.
            clickButton(window, contender.isXirArp ? 1022 : IDCANCEL);
            if (!started.waitForExit(10000)) {
                printf("startup_error %s did not exit\n", contender.fileName);
                return 1;
            }
        }
    }
    printf("startup_runs %d\n", runs);
    for (int which = 0; which < kContenderCount; ++which) {
        printf("startup_%s_ms %.1f\nstartup_%s_all", kContenders[which].name, median(times[which]),
               kContenders[which].name);
        for (double time : times[which])
            printf(" %.0f", time);
        printf("\n");
    }
    removeProgramSettings();
    return 0;
}

int resources(size_t expiries) {
    Sandbox sandbox("bench-resources");
    for (const Contender& contender : kContenders) {
        if (contender.isXirArp)
            continue;
        RunningProgram dialog(placeContender(sandbox, contender), sandbox.folder());
        if (!waitForVisibleWindow(dialog.processId(), false)) {
            printf("resources_error %s did not show its window\n", contender.fileName);
            return 1;
        }
        Sleep(1000);
        printResources(contender.name, settledProcessResources(dialog.processId()));
    }
    // A long interval: only the expiries posted here run the binding.
    storeSettings(3600);
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    HWND window = waitForVisibleWindow(program.processId(), true);
    if (!window) {
        printf("resources_error XirARP did not show its window\n");
        return 1;
    }
    Sleep(1000);
    printResources("xirarp", settledProcessResources(program.processId()));
    const double start = nowMs();
    size_t lost = 0;
    const bool done = deliverTimerExpiries(sandbox, window, kBindCommand, expiries, &lost);
    const double elapsed = nowMs() - start;
    printf("expiries %zu\nexpiries_complete %d\nexpiries_lost_starts %zu\nexpiry_ms %.1f\n", expiries, done ? 1 : 0,
           lost, elapsed / static_cast<double>(expiries));
    Sleep(1000);
    printResources("xirarp_after", settledProcessResources(program.processId()));
    removeProgramSettings();
    return 0;
}

// Starts XirARP with stored settings, fills the fields, Applies without a client package and confirms.
// Returns the process (running, hidden in the notification area) and the moment of the confirmation.
struct Applied {
    DWORD processId = 0;
    double confirmedMs = -1;
    double hiddenMs = -1;
    HWND window = nullptr;
};

Applied applyAndConfirm(const Sandbox& sandbox, RunningProgram& program, int interval) {
    Applied applied;
    HWND window = waitForVisibleWindow(program.processId(), true);
    if (!window)
        return applied;
    sendToControl(GetDlgItem(window, 1001), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 7, 1));
    const wchar_t* const mac[] = {L"0A", L"0B", L"22", L"33", L"44", L"55"};
    for (int i = 0; i < 6; ++i)
        setControlText(GetDlgItem(window, 1002 + i), mac[i]);
    setControlText(GetDlgItem(window, 1008), std::to_wstring(interval).c_str());
    sendToControl(GetDlgItem(window, 1024), BM_SETCHECK, BST_UNCHECKED, 0);
    clickButton(window, 1015);
    MessageBoxSeen success = waitForMessageBox(program.processId());
    if (!success.window || success.text != "Apply Setting Successfully !") {
        printf("apply_error %s\n", success.text.c_str());
        return applied;
    }
    (void)sandbox;
    applied.confirmedMs = nowMs();
    clickButton(success.window, IDOK);
    while (IsWindowVisible(window) && nowMs() - applied.confirmedMs < 30000)
        Sleep(1);
    if (IsWindowVisible(window))
        return Applied{};
    applied.hiddenMs = nowMs();
    applied.window = window;
    applied.processId = program.processId();
    return applied;
}

// The program starts the system folder's arp.exe: the timestamping stand-in goes there for the timing
// (the next sandbox puts the recording one back) and writes its stamps beside itself.
std::string stampLog() {
    return systemFolder() + "\\stamps.log";
}

// Stamps of "arp -s" the timestamping stand-in wrote, in milliseconds of our clock.
std::vector<double> bindStamps(const Sandbox&) {
    std::vector<double> stamps;
    const std::string log = readFileBytes(stampLog());
    for (size_t start = 0, end; (end = log.find('\0', start)) != std::string::npos; start = end + 1) {
        std::string record = log.substr(start, end - start);
        size_t space = record.find(' ');
        if (space != std::string::npos && record.compare(space + 1, std::string::npos, kBindCommand) == 0)
            stamps.push_back(ticksToMs(std::atoll(record.c_str())));
    }
    return stamps;
}

int timing(int interval, int spacings) {
    Sandbox sandbox("bench-timing");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    DeleteFileA(stampLog().c_str());
    CopyFileA((driverFolder() + "\\..\\bench-standins\\arp.exe").c_str(), (systemFolder() + "\\arp.exe").c_str(),
              FALSE);
    storeSettings(static_cast<DWORD>(interval));
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    Applied applied = applyAndConfirm(sandbox, program, interval);
    if (!applied.processId) {
        printf("timing_error Apply did not complete\n");
        return 1;
    }
    const double deadline = nowMs() + 1000.0 * interval * (spacings + 3);
    while (bindStamps(sandbox).size() < static_cast<size_t>(spacings + 1) && nowMs() < deadline)
        Sleep(50);
    std::vector<double> stamps = bindStamps(sandbox);
    if (stamps.size() < static_cast<size_t>(spacings + 1)) {
        printf("timing_error %zu of %d bindings recorded\n", stamps.size(), spacings + 1);
        return 1;
    }
    printf("timing_interval_s %d\ntiming_hidden_ms %.1f\ntiming_first_ms %.1f\ntiming_spacings_ms", interval,
           applied.hiddenMs - applied.confirmedMs, stamps[0] - applied.confirmedMs);
    double worst = 0;
    for (int i = 1; i <= spacings; ++i) {
        double spacing = stamps[i] - stamps[i - 1];
        printf(" %.1f", spacing);
        worst = std::max(worst, std::abs(spacing - 1000.0 * interval));
    }
    printf("\ntiming_worst_deviation_ms %.1f\n", worst);
    // How long a started arp.exe takes to reach its first instruction under Wine: expiries posted straight
    // to the hidden window, each timed from the post to the stand-in's stamp.
    HWND window = applied.window;
    std::vector<double> launches;
    for (int i = 0; window && i < 3; ++i) {
        const size_t seen = bindStamps(sandbox).size();
        const double posted = nowMs();
        PostMessageW(window, WM_TIMER, 1, 0);
        while (bindStamps(sandbox).size() == seen && nowMs() - posted < 10000)
            Sleep(1);
        std::vector<double> now = bindStamps(sandbox);
        if (now.size() > seen)
            launches.push_back(now[seen] - posted);
    }
    printf("timing_launch_ms %.1f\n", median(launches));
    removeProgramSettings();
    return 0;
}

int idle(int seconds) {
    Sandbox sandbox("bench-idle");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    // The longest interval the window accepts: after the first binding nothing is due within the
    // measurement, so it shows the idle cost alone (each binding's process start is measured apart).
    storeSettings(3600);
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    Applied applied = applyAndConfirm(sandbox, program, 3600);
    if (!applied.processId) {
        printf("idle_error Apply did not complete\n");
        return 1;
    }
    // The first binding a second after the confirmation, then quiet for an hour.
    const double deadline = nowMs() + 15000;
    while (sandbox.countRecorded(kBindCommand) < 1 && nowMs() < deadline)
        Sleep(50);
    Sleep(500);
    // The gateway watch reads the ARP table every two seconds all along (the stand-in pins nothing, so its
    // icon shows the binding as not in effect): resources before and after show whether that costs any.
    printResources("idle_before", settledProcessResources(applied.processId));
    const long pid = linuxProcessId(applied.processId);
    const long long before = linuxCpuTicks(pid);
    const double start = nowMs();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const long long after = linuxCpuTicks(pid);
    const double elapsed = nowMs() - start;
    printResources("idle_after", settledProcessResources(applied.processId));
    if (pid < 0 || before < 0 || after < 0) {
        printf("idle_error the Linux process of XirARP could not be read\n");
        return 1;
    }
    // /proc/<pid>/stat counts in clock ticks of 10 ms (USER_HZ on Debian's kernels).
    printf("idle_seconds %.1f\nidle_cpu_ticks %lld\nidle_cpu_percent %.4f\nidle_bindings %zu\n", elapsed / 1000,
           after - before, (after - before) * 10.0 / elapsed * 100.0, sandbox.countRecorded(kBindCommand));
    removeProgramSettings();
    return 0;
}

// A client copy whose "arp -s" changes nothing (as without administrator rights), so that the forged reply takes
// the entry: from arpspoof's first reply to the icon's tooltip telling the attack, per run.
int detection(int runs) {
    const std::string unavailable = netns::unavailableReason();
    if (!unavailable.empty()) {
        printf("detection_error %s\n", unavailable.c_str());
        return 1;
    }
    Sandbox sandbox("bench-detection");
    // The client's logon shortcut goes here, not where Wine would start it with its next session.
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    std::vector<double> times, collected;
    for (int run = 0; run < runs; ++run) {
        removeProgramSettings();
        ShellTray tray;
        if (!netns::act("learn-gateway") || !tray.receivesNotifications() || !collector::start()) {
            printf("detection_error the network, the stand-in shell or the collector is not ready\n");
            break;
        }
        const size_t heard = collector::messages().size();
        const auto conflictHeard = [&] {
            const std::vector<collector::Message> all = collector::messages();
            for (size_t i = heard; i < all.size(); ++i)
                if (all[i].msgId == "CONFLICT")
                    return true;
            return false;
        };
        RunningProgram client(netns::gatewayClientCopy(sandbox, 600, collector::kAddress), sandbox.folder());
        if (!waitUntilTrue([&] { return tray.tooltip() == netns::kNotPinnedTip; })) {
            printf("detection_error the icon never said the gateway was not pinned; %s\n", tray.describe().c_str());
            break;
        }
        const bool attacked = netns::act("attack-start");
        const DWORD forged = GetTickCount();
        const bool shown = attacked && waitUntilTrue([&] { return tray.tooltip() == netns::kAttackedTip; }, 15000);
        if (shown && waitUntilTrue(conflictHeard, 5000))
            collected.push_back(GetTickCount() - forged);
        if (!netns::endAttackAndSettle(tray) && shown) {
            printf("detection_error the icon did not return to not pinned after the attack\n");
            break;
        }
        if (!shown) {
            printf("detection_error the attack was not shown\n");
            break;
        }
        times.push_back(tray.firstTickWithTip(netns::kAttackedTip) - forged);
    }
    removeProgramSettings();
    if (times.empty())
        return 1;
    printf("detection_ms %.0f\ndetection_all_ms", median(times));
    for (double time : times)
        printf(" %.0f", time);
    printf("\n");
    if (!collected.empty())
        printf("detection_collector_ms %.0f\n", median(collected));
    return 0;
}

// While the gateway is silent the window sends an echo through its pin at every interval that goes unanswered for a
// second: its message loop must not wait for it. The stall is the longest round trip of WM_NULL, asked every few
// milliseconds; the spacings come from the recording stand-in's "arp -s", seen as the driver polls its record.
int silent(int interval, int spacings) {
    const std::string unavailable = netns::unavailableReason();
    if (!unavailable.empty()) {
        printf("silent_error %s\n", unavailable.c_str());
        return 1;
    }
    const std::string bind = std::string("arp -s ") + netns::kGateway + " " + netns::kGatewayMac + "\r\n";
    Sandbox sandbox("bench-silent");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    removeProgramSettings();
    ShellTray tray;
    if (!netns::act("learn-gateway") || !tray.receivesNotifications()) {
        printf("silent_error the network or the stand-in shell is not ready\n");
        return 1;
    }
    RunningProgram client(netns::gatewayClientCopy(sandbox, interval), sandbox.folder(),
                          {"XIRARP_ARP_EFFECT=neighbour"});
    const HWND window = waitForDialog(client.processId());
    if (!window || !waitUntilTrue([&] { return tray.tooltip() == netns::kPinnedTip; }, 20000)) {
        printf("silent_error the gateway was never pinned; %s\n", tray.describe().c_str());
        return 1;
    }
    const double attacked = nowMs();
    if (!netns::act("mitm-start") ||
        !waitUntilTrue([&] { return tray.tooltip() == netns::kSilentTip; }, 1000 * (2 * interval + 10))) {
        printf("silent_error the icon never said silent; %s\n", tray.describe().c_str());
        netns::act("mitm-stop");
        return 1;
    }
    const double shown = nowMs();
    double stall = 0;
    std::vector<double> binds;
    size_t counted = sandbox.countRecorded(bind);
    for (double end = nowMs() + 1000.0 * interval * (spacings + 1.5); nowMs() < end && binds.size() <= size_t(spacings);
         Sleep(5)) {
        const double asked = nowMs();
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        stall = std::max(stall, nowMs() - asked);
        const size_t now = sandbox.countRecorded(bind);
        if (now > counted)
            binds.push_back(nowMs());
        counted = now;
    }
    netns::act("mitm-stop");
    printf("silent_shown_ms %.0f\nsilent_stall_ms %.1f\nsilent_spacings_ms", shown - attacked, stall);
    for (size_t i = 1; i < binds.size(); ++i)
        printf(" %.0f", binds[i] - binds[i - 1]);
    printf("\n");
    return 0;
}

// The probe: a window that, when asked, makes a known number of GDI objects, windows and private bytes.
LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeGrow) {
        for (int i = 0; i < kProbeBitmaps; ++i)
            CreateBitmap(8, 8, 1, 1, nullptr);
        for (int i = 0; i < kProbeChildren; ++i)
            CreateWindowW(L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr);
        auto* memory = static_cast<char*>(VirtualAlloc(nullptr, kProbeMemory, MEM_COMMIT, PAGE_READWRITE));
        for (SIZE_T at = 0; memory && at < kProbeMemory; at += 4096)
            memory[at] = 1;
        SetWindowTextW(window, L"grown");
        return 0;
    }
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

int probeChild() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = probeProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"XirARPBenchProbe";
    RegisterClassW(&windowClass);
    CreateWindowW(L"XirARPBenchProbe", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                  nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int selfcheck() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    RunningProgram probe(self, driverFolder(), {std::string(kProbeVariable) + "=1"});
    HWND window = probe.started() ? waitForVisibleWindow(probe.processId(), false) : nullptr;
    if (!window) {
        printf("selfcheck_error the probe did not show its window\n");
        return 1;
    }
    Sleep(500);
    ProcessResources before = settledProcessResources(probe.processId());
    sendToControl(window, kProbeGrow, 0, 0);
    ProcessResources after = settledProcessResources(probe.processId());
    printf("selfcheck_linux_pid %ld\n", linuxProcessId(probe.processId()));
    printf("selfcheck_gdi_delta %ld (made %d bitmaps)\n", after.gdiObjects - before.gdiObjects, kProbeBitmaps);
    printf("selfcheck_user_delta %ld (made %d windows)\n", after.userObjects - before.userObjects, kProbeChildren);
    if (before.privateBytes < 0 || after.privateBytes < 0)
        printf("selfcheck_private_delta n/a (the probe's Linux process could not be told from the driver's)\n");
    else
        printf("selfcheck_private_delta %lld (touched %zu bytes)\n", after.privateBytes - before.privateBytes,
               static_cast<size_t>(kProbeMemory));
    printResources("selfcheck_before", before);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    char probe[4] = {};
    if (GetEnvironmentVariableA(kProbeVariable, probe, sizeof probe) > 0)
        return probeChild();
    const std::string command = argc > 1 ? argv[1] : "";
    auto number = [&](int index, int fallback) { return argc > index ? std::atoi(argv[index]) : fallback; };
    if (command == "startup")
        return startup(std::max(1, number(2, 15)));
    if (command == "resources")
        return resources(static_cast<size_t>(std::max(0, number(2, 60))));
    if (command == "timing")
        return timing(std::max(1, number(2, 2)), std::max(1, number(3, 5)));
    if (command == "idle")
        return idle(std::max(1, number(2, 60)));
    if (command == "selfcheck")
        return selfcheck();
    if (command == "detection")
        return detection(std::max(1, number(2, 5)));
    if (command == "service")
        return serviceFigures(std::max(1, number(2, 60)));
    if (command == "install")
        return installFigure();
    if (command == "silent")
        return silent(std::max(1, number(2, 5)), std::max(1, number(3, 3)));
    fprintf(stderr,
            "usage: xirarp_bench startup|resources|timing|idle|selfcheck|detection|service|install|silent "
            "[numbers]\n");
    return 2;
}
