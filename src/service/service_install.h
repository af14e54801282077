#pragma once
#include <cstdint>
#include <string>

// Installing, updating and removing the service from the window. Each needs administrator rights; the two
// questions do not.

// How far an install or update got; anything but Done names the step that failed.
enum class ServiceSetup {
    Done,               // installed or updated, and started or told to read its settings again
    ImageNotHeld,       // the program's own file is not held, or is not the image that runs: nothing was changed
    CopyFailed,         // the program image could not be put under Program Files
    SettingsFailed,     // the machine key could not be written
    EventSourceFailed,  // the event log source could not be registered
    RegisterFailed,     // the service manager refused to create or change the service
    StartFailed,        // registered, but it could not be started
};

// What the service pins: the same values, names and types as the user's key.
struct ServiceSettings {
    int32_t timer = 0;
    std::string gwip;
    std::string gwmac;
};

// Copies the first kBaseImageSize bytes of the held program file (sys/own_image.h; never a client's trailer) to
// <Program Files>\XirARP\XirARP.exe, writes the machine key, registers the event source, creates or
// reconfigures the service, then starts it or, when it runs, tells it to read its settings again. A running
// service holds its image: it is stopped for a copy that changes, and started again after.
ServiceSetup installService(const ServiceSettings& settings);

// Stops the service (waiting a few seconds for it), deletes it, and removes the machine key, the event source
// and the Program Files copy with its folder. What is already gone counts as removed; false when anything stays.
bool removeService();

// Whether the service runs now (asked with SERVICE_QUERY_STATUS alone, which every user may).
bool serviceRunning();
// Whether the service exists, running or not.
bool serviceInstalled();

// <Program Files>\XirARP\XirARP.exe; empty when the system does not say where Program Files is.
std::wstring serviceImagePath();
