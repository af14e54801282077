#include "steps/service.h"

#include "steps/sandbox.h"
#include "support/files.h"
#include "support/registry.h"

namespace {

const wchar_t* const kName = L"XirARP";

std::string programFilesFolder() {
    char folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA("ProgramFiles", folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder) + "\\XirARP" : std::string();
}

}  // namespace

void removeService() {
    if (SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
        if (SC_HANDLE service = OpenServiceW(manager, kName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)) {
            SERVICE_STATUS status;
            ControlService(service, SERVICE_CONTROL_STOP, &status);
            for (int i = 0; i < 50 && QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED;
                 ++i)
                Sleep(100);
            DeleteService(service);
            CloseServiceHandle(service);
        }
        CloseServiceHandle(manager);
    }
    removeMachineSettings();
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
