#include "service/service_manager.h"

#include "sys/win_handles.h"

namespace {

// The manager with only the rights asked for: connecting is what every user may do.
UniqueServiceHandle openManager(DWORD access) {
    return UniqueServiceHandle(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | access));
}

// The service handle outlives the manager's. The error of a failed open is kept for the caller: closing the
// manager's handle may change the thread's last error.
UniqueServiceHandle openService(const wchar_t* name, DWORD access, DWORD* openError = nullptr) {
    UniqueServiceHandle manager = openManager(0);
    UniqueServiceHandle service(manager ? OpenServiceW(manager.get(), name, access) : nullptr);
    const DWORD error = service ? ERROR_SUCCESS : GetLastError();
    manager.reset();
    if (openError)
        *openError = error;
    return service;
}

// Asks with SERVICE_QUERY_STATUS alone, which every user may.
ServiceState realQuery(const wchar_t* name) {
    DWORD openError = ERROR_SUCCESS;
    UniqueServiceHandle service = openService(name, SERVICE_QUERY_STATUS, &openError);
    if (!service)
        return openError == ERROR_SERVICE_DOES_NOT_EXIST ? ServiceState::Missing : ServiceState::Unknown;
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service.get(), &status))
        return ServiceState::Unknown;
    switch (status.dwCurrentState) {
        case SERVICE_STOPPED:
            return ServiceState::Stopped;
        case SERVICE_RUNNING:
            return ServiceState::Running;
        default:
            return ServiceState::Pending;
    }
}

// A setting the service manager does not know (Wine's answers ERROR_INVALID_LEVEL for some) is left as it is.
bool setOrUnknown(SC_HANDLE service, DWORD level, void* info) {
    return ChangeServiceConfig2W(service, level, info) || GetLastError() == ERROR_INVALID_LEVEL;
}

// The description, the failure actions and the privileges, which only the second configuration call sets.
bool describe(SC_HANDLE service, const ServiceDefinition& definition) {
    SERVICE_DESCRIPTIONW description{};
    description.lpDescription = const_cast<wchar_t*>(definition.description);
    if (!ChangeServiceConfig2W(service, SERVICE_CONFIG_DESCRIPTION, &description))
        return false;
    std::vector<SC_ACTION> actions;
    for (DWORD delay : definition.restartDelaysMs)
        actions.push_back({SC_ACTION_RESTART, delay});
    SERVICE_FAILURE_ACTIONSW failure{};
    failure.dwResetPeriod = definition.failureResetSeconds;
    failure.cActions = static_cast<DWORD>(actions.size());
    failure.lpsaActions = actions.data();
    if (!ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS, &failure))
        return false;
    // Without the flag a stop that reports an error code never counts as a failure, and nothing restarts it.
    SERVICE_FAILURE_ACTIONS_FLAG onErrorStop{TRUE};
    SERVICE_REQUIRED_PRIVILEGES_INFOW privileges{const_cast<wchar_t*>(definition.requiredPrivileges)};
    return setOrUnknown(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &onErrorStop) &&
           (!definition.requiredPrivileges ||
            setOrUnknown(service, SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO, &privileges));
}

// The thread's last error, read before a handle's close can change it.
DWORD failed() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

DWORD realDefine(const ServiceDefinition& definition) {
    UniqueServiceHandle manager = openManager(SC_MANAGER_CREATE_SERVICE);
    if (!manager)
        return failed();
    // Restart actions need the right to start the service on the handle that sets them.
    constexpr DWORD kAccess = SERVICE_CHANGE_CONFIG | SERVICE_START | SERVICE_QUERY_STATUS;
    UniqueServiceHandle service(CreateServiceW(
        manager.get(), definition.name, definition.displayName, kAccess, definition.serviceType, definition.startType,
        SERVICE_ERROR_NORMAL, definition.commandLine.c_str(), nullptr, nullptr, nullptr, definition.account, nullptr));
    if (!service) {
        if (GetLastError() != ERROR_SERVICE_EXISTS)
            return failed();
        service.reset(OpenServiceW(manager.get(), definition.name, kAccess));
        // The account's password is empty: the built-in accounts have none.
        if (!service || !ChangeServiceConfigW(service.get(), definition.serviceType, definition.startType,
                                              SERVICE_ERROR_NORMAL, definition.commandLine.c_str(), nullptr, nullptr,
                                              nullptr, definition.account, L"", definition.displayName))
            return failed();
    }
    return describe(service.get(), definition) ? ERROR_SUCCESS : failed();
}

bool realStart(const wchar_t* name) {
    UniqueServiceHandle service = openService(name, SERVICE_START);
    return service && (StartServiceW(service.get(), 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING);
}

bool realControl(const wchar_t* name, DWORD code) {
    const DWORD access = code == SERVICE_CONTROL_STOP ? SERVICE_STOP : SERVICE_PAUSE_CONTINUE;
    UniqueServiceHandle service = openService(name, access);
    SERVICE_STATUS status{};
    return service && (ControlService(service.get(), code, &status) ||
                       (code == SERVICE_CONTROL_STOP && GetLastError() == ERROR_SERVICE_NOT_ACTIVE));
}

bool realRemove(const wchar_t* name) {
    DWORD openError = ERROR_SUCCESS;
    UniqueServiceHandle service = openService(name, DELETE, &openError);
    if (!service)
        return openError == ERROR_SERVICE_DOES_NOT_EXIST;
    return DeleteService(service.get()) || GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE;
}

const ServiceManagerSeams kRealServiceManager = {realQuery, realDefine, realStart, realControl, realRemove};

}  // namespace

ServiceManagerSeams& serviceManager() {
    static ServiceManagerSeams current = kRealServiceManager;
    return current;
}

const ServiceManagerSeams& realServiceManager() {
    return kRealServiceManager;
}
