#include "bench_service.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/client_config.h"
#include "steps/process_resources.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "steps/service.h"
#include "support/files.h"

namespace {

double nowMs() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The first stamp of "arp -s" the timestamping stand-in wrote, in milliseconds of our clock; 0 while none.
double firstBindStamp(const std::string& log) {
    const std::string bytes = readFileBytes(log);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1) {
        const std::string record = bytes.substr(start, end - start);
        if (record.find(" arp -s ") != std::string::npos)
            return std::atoll(record.c_str()) * 1000.0 / static_cast<double>(frequency.QuadPart);
    }
    return 0;
}

}  // namespace

int serviceFigures(int seconds) {
    const std::string stamps = systemFolder() + "\\stamps.log";
    DeleteFileA(stamps.c_str());
    CopyFileA((driverFolder() + "\\..\\bench-standins\\arp.exe").c_str(), (systemFolder() + "\\arp.exe").c_str(),
              FALSE);
    // The longest interval: after the first bind only the watch runs during the idle time.
    InstalledService service(3600, "192.168.7.1", "0A-0B-22-33-44-55");
    const double started = nowMs();
    if (!service.start()) {
        printf("service_error the service could not be created and started (%lu)\n", GetLastError());
        return 1;
    }
    double first = 0;
    while ((first = firstBindStamp(stamps)) == 0 && nowMs() - started < 20000)
        Sleep(5);
    Sleep(2000);  // past the first watch reading
    const DWORD processId = runningServiceProcess();
    const ProcessResources before = settledProcessResources(processId);
    const long pid = linuxProcessId(processId);
    const long long ticksBefore = linuxCpuTicks(pid);
    const double idleStart = nowMs();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const long long ticksAfter = linuxCpuTicks(pid);
    const double idleMs = nowMs() - idleStart;
    const ProcessResources after = settledProcessResources(processId);
    if (first == 0 || pid < 0 || ticksBefore < 0 || ticksAfter < 0) {
        printf("service_error no first bind, or the service's Linux process could not be read\n");
        return 1;
    }
    // /proc/<pid>/stat counts in clock ticks of 10 ms.
    printf(
        "service_first_bind_ms %.1f\nservice_private_before %lld\nservice_private_after %lld\n"
        "service_idle_cpu_percent %.4f\n",
        first - started, before.privateBytes, after.privateBytes, (ticksAfter - ticksBefore) * 10.0 / idleMs * 100.0);
    return 0;
}

int installFigure() {
    removeService();
    Sandbox sandbox("bench-install");  // puts the recording stand-ins in the system folder: the stamping one goes after
    ArpSettings settings = clientSettings();
    settings.service = 1;
    const std::string client = sandbox.copyClient(*formatClientConfig(settings));
    const std::string stamps = systemFolder() + "\\stamps.log";
    DeleteFileA(stamps.c_str());
    CopyFileA((driverFolder() + "\\..\\bench-standins\\arp.exe").c_str(), (systemFolder() + "\\arp.exe").c_str(),
              FALSE);
    const double started = nowMs();
    bool installed = false;
    {
        RunningProgram install(client, sandbox.folder(), {}, Rights::Elevated, "/install");
        installed = install.waitForExit(90000) && install.exitCode() == 0;
    }
    double first = 0;
    while (installed && (first = firstBindStamp(stamps)) == 0 && nowMs() - started < 20000)
        Sleep(5);
    RunningProgram uninstall(client, sandbox.folder(), {}, Rights::Elevated, "/uninstall");
    uninstall.waitForExit(90000);
    if (first == 0) {
        printf("install_error /install did not end with 0, or the service bound nothing\n");
        return 1;
    }
    printf("install_first_bind_ms %.1f\n", first - started);
    return 0;
}
