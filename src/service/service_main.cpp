// The service's entry: the dispatcher, the control handler, the status it reports and the one loop with one
// wait that runs the gateway guard.
#include <windows.h>
#include <shellapi.h>

#include "service/event_log.h"
#include "service/gateway_guard.h"
#include "service/service_main.h"
#include "service/service_names.h"
#include "sys/win_handles.h"

namespace {

// A stop or shutdown is answered within this time.
constexpr DWORD kStopWaitHintMs = 3000;

// What the handler and the service's thread share. The service manager calls the handler on the dispatcher's
// thread; the events are the only way in.
struct ServiceContext {
    SERVICE_STATUS_HANDLE statusHandle = nullptr;
    SERVICE_STATUS status{};
    UniqueKernelHandle stop;     // manual reset: set once, by STOP or SHUTDOWN
    UniqueKernelHandle reload;   // auto reset: PARAMCHANGE
    UniqueKernelHandle resumed;  // auto reset: back from sleep
};

// At namespace scope: the process holds one service, and a function's static would bring in the thread library.
ServiceContext g_service;

ServiceContext& context() {
    return g_service;
}

void reportStatus(DWORD state, DWORD exitCode = NO_ERROR, DWORD waitHint = 0) {
    ServiceContext& service = context();
    service.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    service.status.dwCurrentState = state;
    service.status.dwWin32ExitCode = exitCode;
    service.status.dwWaitHint = waitHint;
    service.status.dwControlsAccepted =
        state == SERVICE_RUNNING
            ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_PARAMCHANGE | SERVICE_ACCEPT_POWEREVENT
            : 0;
    if (state == SERVICE_RUNNING || state == SERVICE_STOPPED)
        service.status.dwCheckPoint = 0;
    else
        ++service.status.dwCheckPoint;
    SetServiceStatus(service.statusHandle, &service.status);
}

DWORD WINAPI onControl(DWORD control, DWORD eventType, void*, void*) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            reportStatus(SERVICE_STOP_PENDING, NO_ERROR, kStopWaitHintMs);
            SetEvent(context().stop.get());
            return NO_ERROR;
        case SERVICE_CONTROL_PARAMCHANGE:
            SetEvent(context().reload.get());
            return NO_ERROR;
        case SERVICE_CONTROL_POWEREVENT:
            // A resume may find the pin gone and the machine on another network.
            if (eventType == PBT_APMRESUMEAUTOMATIC)
                SetEvent(context().resumed.get());
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

// Waits for the next due work, a stop, a change of settings or a resume, whichever comes first.
void runGuard(HANDLE stop, HANDLE reload, HANDLE resumed) {
    EventLogWriter log;
    GatewayGuard guard(log);
    DWORD wait = guard.start();
    const HANDLE events[] = {stop, reload, resumed};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(3, events, FALSE, wait);
        if (woken == WAIT_OBJECT_0 + 1) {
            wait = guard.reload();
        } else if (woken == WAIT_OBJECT_0 + 2) {
            guard.networkChanged();
            wait = guard.runDue();
        } else if (woken == WAIT_TIMEOUT) {
            wait = guard.runDue();
        } else {
            break;  // stopped, or the wait itself failed: either way nothing more can be waited for
        }
    }
    guard.stop();
}

void WINAPI serviceMain(DWORD, LPWSTR*) {
    ServiceContext& service = context();
    service.statusHandle = RegisterServiceCtrlHandlerExW(kServiceName, onControl, nullptr);
    if (!service.statusHandle)
        return;
    service.stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    service.reload.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    service.resumed.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!service.stop || !service.reload || !service.resumed) {
        reportStatus(SERVICE_STOPPED, GetLastError());
        return;
    }
    // Running before any work: reading the key and starting arp never delay the service manager.
    reportStatus(SERVICE_RUNNING);
    runGuard(service.stop.get(), service.reload.get(), service.resumed.get());
    reportStatus(SERVICE_STOPPED);
}

// The service manager records the process it starts for the service before the process connects to it. A user
// who starts the program with /service gets no service; answered here, because the dispatcher may wait a long
// time before it gives up. When the service manager cannot be asked, the dispatcher decides.
bool startedByServiceManager() {
    UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        return true;
    UniqueServiceHandle service(OpenServiceW(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
    if (!service)
        return GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST;
    SERVICE_STATUS_PROCESS status{};
    DWORD size = 0;
    if (!QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                              &size))
        return true;
    return status.dwProcessId == GetCurrentProcessId();
}

}  // namespace

bool startedAsService() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return false;
    const bool service = count == 2 && lstrcmpiW(arguments[1], kServiceArgument) == 0;
    LocalFree(arguments);
    return service;
}

int runAsService() {
    // Not started by the service manager: nothing to show, nobody to see it.
    if (!startedByServiceManager())
        return 1;
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(kServiceName), serviceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
