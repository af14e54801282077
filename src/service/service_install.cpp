#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <iterator>

#include "config/arp_settings.h"
#include "config/client_config.h"
#include "config/reg_value.h"
#include "service/service_install.h"
#include "service/service_manager.h"
#include "service/service_names.h"
#include "sys/own_image.h"
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

bool storeMachineSettings(const ServiceSettings& settings) {
    return CRegDwordValue(kMachineTimerValuePath, 0, HKEY_LOCAL_MACHINE).store(static_cast<uint32_t>(settings.timer)) ==
               ERROR_SUCCESS &&
           CRegStringValue(kMachineGwmacValuePath, "", HKEY_LOCAL_MACHINE).store(settings.gwmac) == ERROR_SUCCESS &&
           CRegStringValue(kMachineGwipValuePath, "", HKEY_LOCAL_MACHINE).store(settings.gwip) == ERROR_SUCCESS;
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
    // Held open by a service process that would not stop: it goes at the next start of the system.
    MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return false;
}

}  // namespace

std::wstring serviceImagePath() {
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK || !folder[0])
        return {};
    return std::wstring(folder) + L"\\" + kServiceFolderName + L"\\" + kServiceImageName;
}

ServiceSetup installService(const ServiceSettings& settings) {
    // Nothing is written before the image is known to be the one that runs.
    std::string image;
    if (readHeldImage(image) != HeldImage::Read)
        return ServiceSetup::ImageNotHeld;
    const std::wstring target = serviceImagePath();
    if (target.empty())
        return ServiceSetup::CopyFailed;
    bool wasActive = isActive(serviceManager().query(kServiceName));
    if (!holdsImage(target, image)) {
        if (wasActive && !stopService())
            return ServiceSetup::CopyFailed;
        wasActive = false;
        if (!placeImage(target, image))
            return ServiceSetup::CopyFailed;
    }
    if (!storeMachineSettings(settings))
        return ServiceSetup::SettingsFailed;
    if (!registerEventSource(target))
        return ServiceSetup::EventSourceFailed;
    if (!serviceManager().define(serviceDefinition(target)))
        return ServiceSetup::RegisterFailed;
    // A running service that does not take the message still reads its key again at its next interval.
    if (wasActive && serviceManager().control(kServiceName, SERVICE_CONTROL_PARAMCHANGE))
        return ServiceSetup::Done;
    return serviceManager().start(kServiceName) ? ServiceSetup::Done : ServiceSetup::StartFailed;
}

bool removeService() {
    bool removed = stopService();
    removed = serviceManager().remove(kServiceName) && removed;
    // The accessor's sub key is the machine key itself.
    removed = gone(CRegStringValue(kMachineGwipValuePath, "", HKEY_LOCAL_MACHINE).removeKey()) && removed;
    // The vendor key goes too once nothing else of the vendor's is left in it.
    SHDeleteEmptyKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Xir");
    removed = gone(SHDeleteKeyW(HKEY_LOCAL_MACHINE, kEventSourceKey)) && removed;
    const std::wstring target = serviceImagePath();
    if (target.empty())
        return false;
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

bool serviceInstalled() {
    const ServiceState state = serviceManager().query(kServiceName);
    return state != ServiceState::Missing && state != ServiceState::Unknown;
}
