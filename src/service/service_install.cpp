#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <iterator>

#include "alert/syslog_collector.h"
#include "config/arp_settings.h"
#include "config/client_config.h"
#include "config/reg_value.h"
#include "config/settings_store.h"
#include "net/address_text.h"
#include "service/image_version.h"
#include "service/service_install.h"
#include "service/service_manager.h"
#include "service/service_names.h"
#include "sys/own_image.h"
#include "sys/system_paths.h"
#include "sys/seams.h"
#include "sys/win_handles.h"

namespace {

// A service stops within three seconds of being told; after this long it is taken to hang.
constexpr unsigned kStopWaitMs = 5000;
constexpr unsigned kStopPollMs = 250;

// Restart after 5 s twice, then after a minute; the count of failures starts again after a day.
constexpr DWORD kRestartDelaysMs[] = {5000, 5000, 60000};
constexpr DWORD kFailureResetSeconds = 86400;

// A new image is written beside the old one under this suffix first.
constexpr const wchar_t* kStagedSuffix = L".new";

// The only privilege the service's token keeps. It starts arp.exe with CreateProcess (no privilege: the child runs
// with the same token, and adding an ARP entry needs the Administrators group that LocalSystem's token holds, not a
// privilege), reads the registry, sends ICMP echoes and writes the event log. Change-notify (traversing folders) is
// kept by every service anyway; naming it keeps the list from being empty, which would mean every privilege.
constexpr const wchar_t* kRequiredPrivileges = L"SeChangeNotifyPrivilege\0";

// Where the service manager keeps the service's settings, ImagePath among them (readable by every user).
constexpr const wchar_t* kServiceKey = L"SYSTEM\\CurrentControlSet\\Services\\XirARP";

// Every event type the service writes: error, warning and information.
constexpr DWORD kEventTypesSupported = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;

std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// The first kBaseImageSize bytes of a file; false when it is shorter or cannot be read. Shared reading, as the
// service may run it.
bool readImage(const std::wstring& path, std::string& image) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    image.assign(kBaseImageSize, '\0');
    DWORD received = 0;
    return ReadFile(file.get(), &image[0], static_cast<DWORD>(image.size()), &received, nullptr) &&
           received == image.size();
}

// Whether the file holds exactly this image and nothing more.
bool holdsImage(const std::wstring& path, const std::string& image) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeHigh != 0 ||
        data.nFileSizeLow != image.size())
        return false;
    std::string present;
    return readImage(path, present) && present == image;
}

// Written beside the target first and moved over it, so that a failed write never leaves half an image for the
// service manager to start. The folder is made with no security of its own: it inherits Program Files', which
// users cannot write.
bool placeImage(const std::wstring& target, const std::string& image) {
    const std::wstring folder = folderOf(target);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    const std::wstring staged = target + kStagedSuffix;
    bool written = false;
    {
        UniqueFileHandle file(
            CreateFileW(staged.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD count = 0;
        written = file && WriteFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &count, nullptr) &&
                  count == image.size() && FlushFileBuffers(file.get());
    }
    if (written && MoveFileExW(staged.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(staged.c_str());
    return false;
}

ArpSettings loadMachineKey() {
    return loadSettings(SettingsRoot::Machine);
}

// The same collector, whatever the case of the scheme and host or the default port written out.
bool sameCollector(const std::string& one, const std::string& other) {
    return parseSyslogCollector(one).collector == parseSyslogCollector(other).collector;
}

// The machine key pins the same gateway to the same MAC, whatever the case or separators of its MAC's text.
bool samePair(const ArpSettings& machine, const BindingSettings& binding) {
    const BindingCheck installed = checkBindingSettings(machine.timer, machine.gwip, machine.gwmac);
    return installed.settings && installed.settings->address == binding.address &&
           installed.settings->mac == binding.mac;
}

// ... and binds at the same interval.
bool sameBinding(const ArpSettings& machine, const BindingSettings& binding) {
    const BindingCheck installed = checkBindingSettings(machine.timer, machine.gwip, machine.gwmac);
    return samePair(machine, binding) && installed.settings->interval == binding.interval;
}

// Whether the installed image states a later version than ours; one without a version is older.
bool installedImageIsNewer(const std::wstring& target, const std::string& image) {
    std::string installed;
    if (!readImage(target, installed))
        return false;
    const std::optional<uint64_t> theirs = imageFileVersion(installed);
    const std::optional<uint64_t> ours = imageFileVersion(image);
    return theirs && (!ours || *theirs > *ours);
}

bool storeMachineSettings(const ServiceSettings& settings) {
    ArpSettings stored;
    stored.timer = settings.binding.interval;
    stored.gwmac = formatMacText(settings.binding.mac);
    stored.gwip = settings.binding.gwip;
    stored.syslog = settings.syslog;
    return storeSettings(SettingsRoot::Machine, stored);
}

bool registerEventSource(const std::wstring& messageFile) {
    UniqueHKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, key.receive(), nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD types = kEventTypesSupported;
    return RegSetValueExW(key.get(), L"EventMessageFile", 0, REG_EXPAND_SZ,
                          reinterpret_cast<const BYTE*>(messageFile.c_str()),
                          static_cast<DWORD>((messageFile.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
           RegSetValueExW(key.get(), L"TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                          sizeof types) == ERROR_SUCCESS;
}

ServiceDefinition serviceDefinition(const std::wstring& image) {
    ServiceDefinition definition;
    definition.name = kServiceName;
    definition.displayName = kServiceDisplayName;
    definition.description = kServiceDescription;
    // Quoted: unquoted, a path with spaces would let the system try "C:\Program.exe" first.
    definition.commandLine = L"\"" + image + L"\" " + kServiceArgument;
    definition.serviceType = SERVICE_WIN32_OWN_PROCESS;
    definition.startType = SERVICE_AUTO_START;
    definition.account = L"LocalSystem";
    definition.restartDelaysMs.assign(std::begin(kRestartDelaysMs), std::end(kRestartDelaysMs));
    definition.failureResetSeconds = kFailureResetSeconds;
    definition.requiredPrivileges = kRequiredPrivileges;
    return definition;
}

bool isActive(ServiceState state) {
    return state == ServiceState::Running || state == ServiceState::Pending;
}

// True once the service is stopped or gone.
bool stopService() {
    ServiceState state = serviceManager().query(kServiceName);
    if (state == ServiceState::Missing || state == ServiceState::Stopped)
        return true;
    serviceManager().control(kServiceName, SERVICE_CONTROL_STOP);
    for (unsigned waited = 0;; waited += kStopPollMs) {
        state = serviceManager().query(kServiceName);
        if (state == ServiceState::Missing || state == ServiceState::Stopped)
            return true;
        if (waited >= kStopWaitMs)
            return false;
        seams().wait(kStopPollMs);
    }
}

bool gone(LSTATUS status) {
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool fileGone(const std::wstring& path) {
    if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)
        return true;
    // Held open by a service process that would not stop: it goes at the next start of the system, and its folder
    // after it (the system deletes in the order scheduled).
    MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(folderOf(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return false;
}

// Whether the service's command line names this file. A longer command line than any we register names nothing.
bool serviceRuns(const std::wstring& image) {
    wchar_t command[1024] = {};
    DWORD size = sizeof command - sizeof(wchar_t);
    return RegGetValueW(HKEY_LOCAL_MACHINE, kServiceKey, L"ImagePath",
                        RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, command,
                        &size) == ERROR_SUCCESS &&
           StrStrIW(command, image.c_str()) != nullptr;
}

// The Program Files copy is the service's when the service runs it or the machine key is there; an administrator
// who keeps the program there without a service keeps it. The running program's own file is never ours to delete.
bool copyBelongsToService(const std::wstring& target, const ArpSettings& machine) {
    const bool machineKeyThere = machine.timer != 0 || !machine.gwip.empty() || !machine.gwmac.empty();
    return (serviceRuns(target) || machineKeyThere) && !isHeldOwnImage(target) &&
           lstrcmpiW(target.c_str(), ownExecutablePath().c_str()) != 0;
}

}  // namespace

std::wstring serviceImagePath() {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK || !folder[0])
        return {};
    return std::wstring(folder) + L"\\" + kServiceFolderName + L"\\" + kServiceImageName;
}

ServiceSetup installService(const ServiceSettings& requested, InstallRequest request) {
    // A client without a collector writes back the machine key's, whatever it holds.
    ServiceSettings settings = requested;
    if (request == InstallRequest::Client && settings.syslog.empty())
        settings.syslog = loadMachineKey().syslog;
    // Nothing is written before the image is known to be the one that runs.
    std::string image;
    if (readHeldImage(image) != HeldImage::Read)
        return ServiceSetup::ImageNotHeld;
    const std::wstring target = serviceImagePath();
    if (target.empty())
        return ServiceSetup::CopyFailed;
    const ServiceState state = serviceManager().query(kServiceName);
    bool wasActive = isActive(state);
    bool replaceImage = !holdsImage(target, image);
    if (request == InstallRequest::Client && state != ServiceState::Missing) {
        // Two packages on one machine, or an older build, must not take turns rewriting the service.
        replaceImage = replaceImage && !installedImageIsNewer(target, image);
        const ArpSettings installed = loadMachineKey();
        if (!replaceImage && sameBinding(installed, settings.binding) && sameCollector(installed.syslog, settings.syslog))
            return wasActive || serviceManager().start(kServiceName) ? ServiceSetup::Done : ServiceSetup::StartFailed;
    }
    // A failed update keeps the image that was there: the service it ran before is started again, and says so.
    bool imageKept = false;
    if (replaceImage) {
        const bool stopped = !wasActive || stopService();
        wasActive = !stopped;
        if (!stopped || !placeImage(target, image)) {
            if (state == ServiceState::Missing)
                return ServiceSetup::CopyFailed;
            imageKept = true;
        }
    }
    const ServiceSetup done = imageKept ? ServiceSetup::NotUpdated : ServiceSetup::Done;
    if (!storeMachineSettings(settings))
        return ServiceSetup::SettingsFailed;
    if (!registerEventSource(target))
        return ServiceSetup::EventSourceFailed;
    if (const DWORD refused = serviceManager().define(serviceDefinition(target)))
        return refused == ERROR_SERVICE_MARKED_FOR_DELETE ? ServiceSetup::MarkedForDeletion
                                                          : ServiceSetup::RegisterFailed;
    // A running service that does not take the message still reads its key again at its next interval.
    if (wasActive && serviceManager().control(kServiceName, SERVICE_CONTROL_PARAMCHANGE))
        return done;
    return serviceManager().start(kServiceName) ? done : ServiceSetup::StartFailed;
}

bool removeService(std::string* pinnedGwip) {
    // Read before anything goes: what the service pinned, and whether the Program Files copy is its own.
    const ArpSettings machine = loadMachineKey();
    const std::wstring target = serviceImagePath();
    const bool ownsCopy = !target.empty() && copyBelongsToService(target, machine);
    if (pinnedGwip)
        *pinnedGwip = machine.gwip;
    bool removed = stopService();
    removed = serviceManager().remove(kServiceName) && removed;
    // The accessor's sub key is the machine key itself.
    removed = gone(CRegStringValue(kMachineGwipValuePath, "", HKEY_LOCAL_MACHINE).removeKey()) && removed;
    // The vendor key goes too once nothing else of the vendor's is left in it (a key with sub keys stays), in the
    // machine key's own view.
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Xir", KEY_WOW64_64KEY, 0);
    removed = gone(SHDeleteKeyW(HKEY_LOCAL_MACHINE, kEventSourceKey)) && removed;
    if (target.empty())
        return false;
    if (!ownsCopy)
        return removed;
    DeleteFileW((target + kStagedSuffix).c_str());  // what a failed update may have left
    removed = fileGone(target) && removed;
    if (!RemoveDirectoryW(folderOf(target).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND)
        removed = false;
    return removed;
}

bool serviceRunning() {
    return serviceManager().query(kServiceName) == ServiceState::Running;
}

bool servicePinsPair(const BindingSettings& binding) {
    return serviceInstalled() && samePair(loadMachineKey(), binding);
}

bool serviceInstalled() {
    const ServiceState state = serviceManager().query(kServiceName);
    return state != ServiceState::Missing && state != ServiceState::Unknown;
}
