#include "steps/service.h"

#include "steps/sandbox.h"
#include "support/files.h"
#include "support/registry.h"
#include "support/windows.h"
#include "sys/win_handles.h"

namespace {

const wchar_t* const kName = L"XirARP";

std::string programFilesFolder() {
    char folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("ProgramFiles", folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder) + "\\XirARP" : std::string();
}

// How long a service may take to stop, end its process and go.
constexpr DWORD kGoneWithinMs = 30000;

// The process the service manager started for the service, while the service has one.
DWORD serviceProcessOf(SC_HANDLE service) {
    SERVICE_STATUS_PROCESS status{};
    DWORD size = 0;
    return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                                &size)
               ? status.dwProcessId
               : 0;
}

bool serviceKnown(SC_HANDLE manager) {
    SC_HANDLE service = OpenServiceW(manager, kName, SERVICE_QUERY_STATUS);
    if (!service)
        return GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST;
    CloseServiceHandle(service);
    return true;
}

}  // namespace

bool removeService() {
    UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    UniqueServiceHandle service(
        manager ? OpenServiceW(manager.get(), kName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE) : nullptr);
    bool gone = manager && (service || GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST);
    if (service) {
        // The process reports "stopped" and only then ends, holding the image till it has: taken before the stop, to
        // be waited for after.
        UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, serviceProcessOf(service.get())));
        // A service that is still starting refuses the stop: asked again until it has stopped.
        SERVICE_STATUS status{};
        for (const DWORD start = GetTickCount(); QueryServiceStatus(service.get(), &status) &&
                                                 status.dwCurrentState != SERVICE_STOPPED &&
                                                 !pastDeadline(start, kGoneWithinMs);
             Sleep(50)) {
            if (status.dwCurrentState != SERVICE_STOP_PENDING)
                ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
        }
        gone = status.dwCurrentState == SERVICE_STOPPED;
        if (process)
            gone = WaitForSingleObject(process.get(), patient(kGoneWithinMs)) == WAIT_OBJECT_0 && gone;
        DeleteService(service.get());
        service.reset();
        // Deleted once the last handle to it is closed.
        gone = waitUntilTrue([&manager] { return !serviceKnown(manager.get()); }, kGoneWithinMs) && gone;
    }
    removeMachineSettings();
    return gone;
}

InstalledService::InstalledService(DWORD interval, const std::string& gwip, const std::string& gwmac) {
    removeService();
    folder_ = programFilesFolder();
    const std::string image = folder_ + "\\XirARP.exe";
    CreateDirectoryA(folder_.c_str(), nullptr);
    CopyFileA(adminImagePath().c_str(), image.c_str(), FALSE);
    writeMachineSettings(interval, gwip, gwmac);
    manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    const std::wstring command = L"\"" + widePath(image) + L"\" /service";
    if (manager_)
        service_ = CreateServiceW(manager_, kName, L"XirARP Gateway Guard", SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                  command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
}

InstalledService::~InstalledService() {
    if (service_)
        CloseServiceHandle(service_);
    if (manager_)
        CloseServiceHandle(manager_);
    removeService();
    DeleteFileA((folder_ + "\\XirARP.exe").c_str());
    RemoveDirectoryA(folder_.c_str());
}

bool InstalledService::start() {
    return service_ && StartServiceW(service_, 0, nullptr);
}

DWORD runningServiceProcess() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceW(manager, kName, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS_PROCESS status{};
    DWORD size = 0;
    const bool running = service &&
                         QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                              sizeof status, &size) &&
                         status.dwCurrentState == SERVICE_RUNNING;
    if (service)
        CloseServiceHandle(service);
    if (manager)
        CloseServiceHandle(manager);
    return running ? status.dwProcessId : 0;
}
