#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The few calls to the service manager the installer and the window make, for one service named by its name.
// Real by default; in-process tests replace them, as they do the other seams (sys/seams.h).

// What the service manager says of the service.
enum class ServiceState {
    Missing,  // no such service
    Stopped,
    Running,
    Pending,  // starting, stopping, pausing or paused
    Unknown,  // the service manager could not be asked
};

// Everything the program registers about its service.
struct ServiceDefinition {
    const wchar_t* name = nullptr;
    const wchar_t* displayName = nullptr;
    const wchar_t* description = nullptr;
    std::wstring commandLine;  // the quoted image path, then the argument
    DWORD serviceType = 0;
    DWORD startType = 0;
    const wchar_t* account = nullptr;
    std::vector<DWORD> restartDelaysMs;  // one restart action per failure, in order
    DWORD failureResetSeconds = 0;       // the failure count starts again after this long without one
    const wchar_t* requiredPrivileges = nullptr;  // the only privileges its token keeps: names, each ending in a
                                                  // null, then one more null
};

struct ServiceManagerSeams {
    ServiceState (*query)(const wchar_t* name);
    // Creates the service, or changes the one of that name to this definition; with its description, failure
    // actions and privileges. ERROR_SUCCESS, or the error of the first call refused
    // (ERROR_SERVICE_MARKED_FOR_DELETE while a deleted service is still held open, by a services console say).
    DWORD (*define)(const ServiceDefinition& definition);
    // True once started, or when it runs already.
    bool (*start)(const wchar_t* name);
    // Sends a control code (SERVICE_CONTROL_STOP, SERVICE_CONTROL_PARAMCHANGE). A stop of a service that does
    // not run counts as done.
    bool (*control)(const wchar_t* name, DWORD code);
    // Deletes the service; true when it is gone or marked for deletion, or there was none.
    bool (*remove)(const wchar_t* name);
};

ServiceManagerSeams& serviceManager();
const ServiceManagerSeams& realServiceManager();
