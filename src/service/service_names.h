#pragma once
#include <cstdint>

// How the system knows the service: its name, what the service manager shows, and the one argument that
// starts the program as the service.
constexpr const wchar_t* kServiceName = L"XirARP";
constexpr const wchar_t* kServiceDisplayName = L"XirARP Gateway Guard";
constexpr const wchar_t* kServiceDescription =
    L"Pins the default gateway's IPv4 and MAC address into the ARP cache as a static entry at every interval "
    L"and watches that it holds, so that forged ARP replies cannot redirect this computer's traffic.";
constexpr const wchar_t* kServiceArgument = L"/service";

// Where the service's copy of the program lives, under the Program Files folder.
constexpr const wchar_t* kServiceFolderName = L"XirARP";
constexpr const wchar_t* kServiceImageName = L"XirARP.exe";

// The Application event log source the service writes to; its messages are the image's message table.
constexpr const wchar_t* kEventSourceName = L"XirARP";
constexpr const wchar_t* kEventSourceKey = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\XirARP";

// Event ids of the service's message table (res/service_messages.mc).
enum ServiceEvent : uint32_t {
    kEventProtected = 1,         // the gateway's static entry holds the pinned MAC
    kEventNotInEffect = 2,       // the bind command ran but no static entry appeared
    kEventConflict = 3,          // %1 gateway, %2 the MAC that answered, %3 the pinned one, %4 the suspects
    kEventAway = 4,              // %1 gateway, %2 the router that answers on this network, %3 the pinned MAC
    kEventSilent = 5,            // %1 gateway, %2 the pinned MAC it does not answer through
    kEventRouteElsewhere = 6,    // %1 the address the default route goes through, %2 the pinned gateway
    kEventStarted = 10,          // %1 gateway, %2 pinned MAC, %3 interval
    kEventStopped = 11,
    kEventSettingsInvalid = 12,  // %1 the value that is missing or invalid
};

// Written by "/install" and "/uninstall" when a step fails: %1 the command line, %2 the step. Outside the guard's
// events, which the service itself writes.
constexpr uint32_t kEventSetupFailed = 20;
