#include <windows.h>

#include "config/reg_value.h"
#include "config/settings_store.h"

namespace {

struct KeyPaths {
    HKEY root;
    const char* timer;
    const char* gwmac;
    const char* gwip;
    const char* gwecho;
    const char* syslog;
};

KeyPaths pathsOf(SettingsRoot root) {
    if (root == SettingsRoot::Machine)
        return {HKEY_LOCAL_MACHINE, kMachineTimerValuePath, kMachineGwmacValuePath, kMachineGwipValuePath,
                kMachineEchoValuePath, kMachineSyslogValuePath};
    return {HKEY_CURRENT_USER, kTimerValuePath, kGwmacValuePath, kGwipValuePath, kEchoValuePath, kSyslogValuePath};
}

int32_t storedNumber(const char* path, uint32_t defaultValue, HKEY root) {
    return static_cast<int32_t>(static_cast<uint32_t>(CRegDwordValue(path, defaultValue, root)));
}

}  // namespace

ArpSettings loadSettings(SettingsRoot root) {
    const KeyPaths paths = pathsOf(root);
    ArpSettings settings;
    settings.timer = storedNumber(paths.timer, 0, paths.root);
    settings.gwmac = CRegStringValue(paths.gwmac, "", paths.root);
    settings.gwip = CRegStringValue(paths.gwip, "", paths.root);
    settings.syslog = loadSyslogValue(root);
    if (root == SettingsRoot::User) {
        settings.language = storedNumber(kLanguageValuePath, static_cast<uint32_t>(kLanguageUnset), paths.root);
        settings.pwd = CRegStringValue(kPwdValuePath, "", paths.root);
        settings.service = storedNumber(kServiceValuePath, 0, paths.root);
    }
    return settings;
}

bool storeSettings(SettingsRoot root, const ArpSettings& settings) {
    const KeyPaths paths = pathsOf(root);
    const bool timerStored =
        CRegDwordValue(paths.timer, 0, paths.root).store(static_cast<uint32_t>(settings.timer)) == ERROR_SUCCESS;
    const bool gwmacStored = CRegStringValue(paths.gwmac, "", paths.root).store(settings.gwmac) == ERROR_SUCCESS;
    const bool gwipStored = CRegStringValue(paths.gwip, "", paths.root).store(settings.gwip) == ERROR_SUCCESS;
    CRegStringValue syslog(paths.syslog, "", paths.root);
    const LSTATUS syslogStatus = settings.syslog.empty() ? syslog.removeValue() : syslog.store(settings.syslog);
    const bool syslogStored = syslogStatus == ERROR_SUCCESS || syslogStatus == ERROR_FILE_NOT_FOUND;
    const bool serviceStored =
        root == SettingsRoot::Machine || storeNumber(kServiceValuePath, settings.service) == ERROR_SUCCESS;
    return timerStored && gwmacStored && gwipStored && syslogStored && serviceStored;
}

void storeServiceAway(const std::string& answeringMac) {
    CRegStringValue value(kMachineAwayValuePath, "", HKEY_LOCAL_MACHINE);
    if (answeringMac.empty())
        value.removeValue();
    else
        value.store(answeringMac);
}

std::optional<MacBytes> loadServiceAway() {
    return parseMacBytes(CRegStringValue(kMachineAwayValuePath, "", HKEY_LOCAL_MACHINE).read());
}

void storeServiceSilent(bool silent) {
    CRegDwordValue value(kMachineSilentValuePath, 0, HKEY_LOCAL_MACHINE);
    if (silent)
        value.store(1);
    else
        value.removeValue();
}

bool loadServiceSilent() {
    return CRegDwordValue(kMachineSilentValuePath, 0, HKEY_LOCAL_MACHINE) == 1;
}

bool loadEchoAnswered(SettingsRoot root, const MacBytes& pinned) {
    const KeyPaths paths = pathsOf(root);
    return parseMacBytes(CRegStringValue(paths.gwecho, "", paths.root).read()) == pinned;
}

void storeEchoAnswered(SettingsRoot root, const MacBytes& pinned) {
    const KeyPaths paths = pathsOf(root);
    CRegStringValue(paths.gwecho, "", paths.root).store(formatMacText(pinned));
}

std::string loadSyslogValue(SettingsRoot root) {
    if (root == SettingsRoot::Machine)
        return CRegStringValue(kMachineSyslogValuePath, "", HKEY_LOCAL_MACHINE);
    return CRegStringValue(kSyslogValuePath, "", HKEY_CURRENT_USER);
}

bool loadRoaming(SettingsRoot root) {
    constexpr uint32_t kNone = 0xFFFFFFFFu;
    const uint32_t machine = CRegDwordValue(kMachineRoamingValuePath, kNone, HKEY_LOCAL_MACHINE);
    if (machine != kNone || root == SettingsRoot::Machine)
        return machine != 0;
    return CRegDwordValue(kRoamingValuePath, 1, HKEY_CURRENT_USER) != 0;
}
