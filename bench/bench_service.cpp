#include "bench_service.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "steps/process_resources.h"
#include "steps/sandbox.h"
#include "support/files.h"

namespace {

const wchar_t* const kName = L"XirARP";
const char* const kMachineKey = "SOFTWARE\\Xir\\XirARP";
const char* const kGatewayIp = "192.168.7.1";
const char* const kGatewayMac = "0A-0B-22-33-44-55";

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

void writeMachineSettings() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMachineKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
        return;
    // The longest interval: after the first bind only the watch runs during the idle minute.
    const DWORD timer = 3600;
    RegSetValueExA(key, "timer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&timer), sizeof timer);
    RegSetValueExA(key, "gwip", 0, REG_SZ, reinterpret_cast<const BYTE*>(kGatewayIp), lstrlenA(kGatewayIp) + 1);
    RegSetValueExA(key, "gwmac", 0, REG_SZ, reinterpret_cast<const BYTE*>(kGatewayMac), lstrlenA(kGatewayMac) + 1);
    RegCloseKey(key);
}

void removeService(SC_HANDLE manager) {
    if (SC_HANDLE service = OpenServiceW(manager, kName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)) {
        SERVICE_STATUS status;
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        for (int i = 0; i < 50 && QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED; ++i)
            Sleep(100);
        DeleteService(service);
        CloseServiceHandle(service);
    }
}

}  // namespace

int serviceFigures(int seconds) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) {
        printf("service_error the service manager cannot be opened\n");
        return 1;
    }
    removeService(manager);
    char programFiles[MAX_PATH] = {};
    GetEnvironmentVariableA("ProgramFiles", programFiles, MAX_PATH);
    const std::string folder = std::string(programFiles) + "\\XirARP";
    const std::string image = folder + "\\XirARP.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA(adminImagePath().c_str(), image.c_str(), FALSE);
    const std::string stamps = systemFolder() + "\\stamps.log";
    DeleteFileA(stamps.c_str());
    CopyFileA((driverFolder() + "\\..\\bench-standins\\arp.exe").c_str(), (systemFolder() + "\\arp.exe").c_str(),
              FALSE);
    writeMachineSettings();

    const std::wstring command = L"\"" + widePath(image) + L"\" /service";
    SC_HANDLE service = CreateServiceW(manager, kName, L"XirARP Gateway Guard", SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                       command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    int result = 1;
    const double started = nowMs();
    if (!service || !StartServiceW(service, 0, nullptr)) {
        printf("service_error the service could not be created and started (%lu)\n", GetLastError());
    } else {
        double first = 0;
        while ((first = firstBindStamp(stamps)) == 0 && nowMs() - started < 20000)
            Sleep(5);
        SERVICE_STATUS_PROCESS status{};
        DWORD size = 0;
        QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status, &size);
        Sleep(2000);  // past the first watch reading
        const ProcessResources before = settledProcessResources(status.dwProcessId);
        const long pid = linuxProcessId(status.dwProcessId);
        const long long ticksBefore = linuxCpuTicks(pid);
        const double idleStart = nowMs();
        Sleep(static_cast<DWORD>(seconds) * 1000);
        const long long ticksAfter = linuxCpuTicks(pid);
        const double idleMs = nowMs() - idleStart;
        const ProcessResources after = settledProcessResources(status.dwProcessId);
        if (first == 0 || pid < 0 || ticksBefore < 0 || ticksAfter < 0) {
            printf("service_error no first bind, or the service's Linux process could not be read\n");
        } else {
            // /proc/<pid>/stat counts in clock ticks of 10 ms.
            printf("service_first_bind_ms %.1f\nservice_private_before %lld\nservice_private_after %lld\n"
                   "service_idle_cpu_percent %.4f\n",
                   first - started, before.privateBytes, after.privateBytes,
                   (ticksAfter - ticksBefore) * 10.0 / idleMs * 100.0);
            result = 0;
        }
    }
    if (service)
        CloseServiceHandle(service);
    removeService(manager);
    CloseServiceHandle(manager);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMachineKey);
    DeleteFileA(image.c_str());
    RemoveDirectoryA(folder.c_str());
    return result;
}
