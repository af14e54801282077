#pragma once
#include "net/binding_settings.h"
#include <cstdint>
#include <string>

// Installing, updating and removing the service from the window. Each needs administrator rights; the two
// questions do not.

// How far an install or update got; anything but Done names the step that failed.
enum class ServiceSetup {
    Done,               // installed or updated, and started or told to read its settings again
    ImageNotHeld,       // the program's own file is not held, or is not the image that runs: nothing was changed
    NotUpdated,         // the service is set up and runs again, but on the image it had: the new one could not be put
    MarkedForDeletion,  // a deleted service still held open (a services console): the manager refuses it until closed
    CopyFailed,         // the program image could not be put under Program Files
    SettingsFailed,     // the machine key could not be written
    EventSourceFailed,  // the event log source could not be registered
    RegisterFailed,     // the service manager refused to create or change the service
    StartFailed,        // registered, but it could not be started
};

// What the service pins, read once into the binding's record, and where it sends its alerts. The machine key gets
// them back with the same names and types as the user's key, the MAC in its canonical text.
struct ServiceSettings {
    BindingSettings binding;
    std::string syslog;  // a collector parseSyslogCollector takes, or empty
};

// Who asks for the service. The administrator's window sets it as its fields say, an empty collector removing the
// machine key's. A client copy (and /install) installs it when there is none; when there is one, it changes it only
// where the machine key's pair, interval or collector or the image differ from its own, and never puts an older
// image over a newer one (the version resource). A client without a collector leaves the machine key's as it is:
// Group Policy may have written it there.
enum class InstallRequest { Administrator, Client };

// Copies the first kBaseImageSize bytes of the held program file (sys/own_image.h; never a client's trailer) to
// <Program Files>\XirARP\XirARP.exe, writes the machine key, registers the event source, creates or
// reconfigures the service, then starts it or, when it runs, tells it to read its settings again. A running
// service holds its image: it is stopped for a copy that changes, and started again after.
ServiceSetup installService(const ServiceSettings& settings, InstallRequest request);

// Stops the service (waiting a few seconds for it), deletes it, and removes the machine key, the event source
// and the Program Files copy with its folder, the copy only when it is the service's (its command line names it or
// the machine key is there) and never the running program's own file. A file in use goes at the next restart,
// with its folder. What is already gone counts as removed; false when anything stays. pinnedGwip, when given,
// receives the gateway the machine key pinned, whose static entry the caller removes once the service is stopped.
bool removeService(std::string* pinnedGwip = nullptr);

// Whether the service runs now (asked with SERVICE_QUERY_STATUS alone, which every user may).
bool serviceRunning();
// Whether the service exists and its machine key pins this gateway to this MAC.
bool servicePinsPair(const BindingSettings& binding);
// Whether the service exists, running or not.
bool serviceInstalled();

// <Program Files>\XirARP\XirARP.exe; empty when the system does not say where Program Files is.
std::wstring serviceImagePath();
