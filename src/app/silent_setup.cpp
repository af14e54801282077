#include "app/silent_setup.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "alert/syslog_collector.h"
#include "config/client_config.h"
#include "net/address_text.h"
#include "net/binding.h"
#include "net/binding_settings.h"
#include "service/event_log.h"
#include "service/service_install.h"
#include "sys/own_image.h"
#include "sys/seams.h"
#include "sys/system_paths.h"

namespace {

constexpr const wchar_t* kInstallArgument = L"/install";
constexpr const wchar_t* kUninstallArgument = L"/uninstall";

// The Windows codes installers report, which fleet tools already know.
constexpr int kExitDone = 0;
constexpr int kExitNotElevated = ERROR_ACCESS_DENIED;  // 5
constexpr int kExitNoPackage = ERROR_INVALID_DATA;     // 13
constexpr int kExitStepFailed = 1603;                  // ERROR_INSTALL_FAILURE

// The only argument, or empty.
std::wstring onlyArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    std::wstring argument = count == 2 ? arguments[1] : L"";
    LocalFree(arguments);
    return argument;
}

// What the package asks the service to pin and where it sends its alerts, or none when it has no usable pair and
// interval or a collector the parser refuses. The MAC and the collector are parsed once and stored in their
// canonical texts.
std::optional<ServiceSettings> packageSettings(const std::string& tail) {
    const ParsedClientConfig config = parseClientConfig(tail.data(), tail.size());
    if (!config.headerFound || !config.timer || !config.gwip || !config.gwmac)
        return std::nullopt;
    const BindingCheck check = checkBindingSettings(*config.timer, *config.gwip, *config.gwmac);
    const SyslogCollectorParse collector = parseSyslogCollector(config.syslog.value_or(""));
    if (!check.settings || collector.refusal != SyslogRefusal::None)
        return std::nullopt;
    return ServiceSettings{*check.settings, collector.collector ? formatSyslogCollector(*collector.collector) : ""};
}

// The step an event names when an install stops short.
const wchar_t* failedStep(ServiceSetup result) {
    switch (result) {
        case ServiceSetup::Done:
            break;
        case ServiceSetup::ImageNotHeld:
            return L"holding the program's own file (another program has it open, or it was replaced)";
        case ServiceSetup::NotUpdated:
            return L"replacing the service's image in Program Files (the previous one runs again)";
        case ServiceSetup::MarkedForDeletion:
            return L"creating the service: it is marked for deletion while a services console has it open";
        case ServiceSetup::CopyFailed:
            return L"copying the image to Program Files";
        case ServiceSetup::SettingsFailed:
            return L"writing the machine key";
        case ServiceSetup::EventSourceFailed:
            return L"registering the event source";
        case ServiceSetup::RegisterFailed:
            return L"creating or changing the service";
        case ServiceSetup::StartFailed:
            return L"starting the service";
    }
    return L"";
}

int silentInstall() {
    const std::wstring path = ownExecutablePath();
    const OwnImageHold hold(path);
    const std::optional<ServiceSettings> settings = packageSettings(readOwnImage(hold, path).tail);
    if (!settings)
        return kExitNoPackage;
    const ServiceSetup result = installService(*settings, InstallRequest::Client);
    if (result == ServiceSetup::Done)
        return kExitDone;
    reportSetupFailure(kInstallArgument, failedStep(result));
    return kExitStepFailed;
}

// Held, so that the removal knows this program's own file and leaves it.
int silentUninstall() {
    const OwnImageHold hold(ownExecutablePath());
    std::string pinnedGwip;
    const bool removed = removeService(&pinnedGwip);
    // Stopped first, so that the service does not pin the entry again.
    runRemoveCommand(pinnedGwip);
    if (removed)
        return kExitDone;
    reportSetupFailure(kUninstallArgument, L"removing the service, its machine key, event source or program copy");
    return kExitStepFailed;
}

}  // namespace

std::optional<int> runSilentSetup() {
    const std::wstring argument = onlyArgument();
    const bool install = lstrcmpiW(argument.c_str(), kInstallArgument) == 0;
    if (!install && lstrcmpiW(argument.c_str(), kUninstallArgument) != 0)
        return std::nullopt;
    if (!seams().processElevated())
        return kExitNotElevated;
    return install ? silentInstall() : silentUninstall();
}
