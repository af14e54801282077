#include "support/registry.h"

#include <sddl.h>
#include <shlwapi.h>

#include <vector>

bool setSettingsKeyAccess(const char* sddl) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kTestSettingsKey, 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool set = ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr) &&
               RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    RegCloseKey(key);
    return set;
}

void removeProgramSettings() {
    setSettingsKeyAccess(kSettingsOpen);
    SHDeleteKeyA(HKEY_CURRENT_USER, kTestVendorKey);
}

void removeSetting(const char* valueName) {
    SHDeleteValueA(HKEY_CURRENT_USER, kTestSettingsKey, valueName);
}

bool registryKeyExists(const char* subKeyOfCurrentUser) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKeyOfCurrentUser, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool settingsKeyExists() {
    return registryKeyExists(kTestSettingsKey);
}

bool settingExists(const char* valueName) {
    return RegGetValueA(HKEY_CURRENT_USER, kTestSettingsKey, valueName, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

std::optional<DWORD> readSettingDword(const char* valueName) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kTestSettingsKey, valueName, RRF_RT_REG_DWORD, &type, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<std::string> readSettingString(const char* valueName) {
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kTestSettingsKey, valueName, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::vector<char> buffer(size + 1, '\0');
    if (RegGetValueA(HKEY_CURRENT_USER, kTestSettingsKey, valueName, RRF_RT_REG_SZ, nullptr, buffer.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer.data());
}

void writeSettingDword(const char* valueName, DWORD value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kTestSettingsKey, valueName, REG_DWORD, &value, sizeof value);
}

void writeSettingString(const char* valueName, const std::string& value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kTestSettingsKey, valueName, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}

namespace {

// The machine-wide key in the view administrators' tools write: the 64-bit one on 64-bit Windows.
LSTATUS openForReading(HKEY root, const char* subKey, HKEY* key) {
    return RegOpenKeyExA(root, subKey, 0, KEY_READ | (root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0), key);
}

}  // namespace

std::optional<std::string> readRegistryText(HKEY root, const char* subKey, const char* valueName) {
    char text[1024] = {};
    DWORD size = sizeof text - 1;
    HKEY key;
    if (openForReading(root, subKey, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const LSTATUS status = RegGetValueA(key, nullptr, valueName, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                                        nullptr, text, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::optional<std::string>(text) : std::nullopt;
}

std::optional<DWORD> readRegistryDword(HKEY root, const char* subKey, const char* valueName) {
    DWORD value = 0, size = sizeof value;
    HKEY key;
    if (openForReading(root, subKey, &key) != ERROR_SUCCESS)
        return std::nullopt;
    const LSTATUS status = RegGetValueA(key, nullptr, valueName, RRF_RT_REG_DWORD, nullptr, &value, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::optional<DWORD>(value) : std::nullopt;
}

void writeMachineSettings(DWORD timer, const std::string& gwip, const std::string& gwmac, const std::string& syslog) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestMachineKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr))
        return;
    RegSetValueExA(key, "timer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&timer), sizeof timer);
    RegSetValueExA(key, "gwip", 0, REG_SZ, reinterpret_cast<const BYTE*>(gwip.c_str()),
                   static_cast<DWORD>(gwip.size() + 1));
    RegSetValueExA(key, "gwmac", 0, REG_SZ, reinterpret_cast<const BYTE*>(gwmac.c_str()),
                   static_cast<DWORD>(gwmac.size() + 1));
    if (!syslog.empty())
        RegSetValueExA(key, "syslog", 0, REG_SZ, reinterpret_cast<const BYTE*>(syslog.c_str()),
                       static_cast<DWORD>(syslog.size() + 1));
    RegCloseKey(key);
}

void removeMachineSetting(const char* valueName) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestMachineKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, valueName);
    RegCloseKey(key);
}

void removeMachineSettings() {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kTestMachineKey, KEY_WOW64_64KEY, 0);
}
