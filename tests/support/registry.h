#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

// The program's settings in the registry as a test sets, reads and clears them. The tests keep their own
// copy of the key names: a program that stored its settings elsewhere would fail them.
inline const char* const kTestVendorKey = "Software\\Xir";
inline const char* const kTestSettingsKey = "Software\\Xir\\XirARP";

void removeProgramSettings();  // HKCU\Software\Xir with everything below
void removeSetting(const char* valueName);
bool registryKeyExists(const char* subKeyOfCurrentUser);
bool settingsKeyExists();
bool settingExists(const char* valueName);                            // of any type
std::optional<DWORD> readSettingDword(const char* valueName);         // only a REG_DWORD
std::optional<std::string> readSettingString(const char* valueName);  // only a REG_SZ
void writeSettingDword(const char* valueName, DWORD value);
void writeSettingString(const char* valueName, const std::string& value);

// A value of any hive, for the service's keys (HKEY_LOCAL_MACHINE in its 64-bit view): a REG_SZ or REG_EXPAND_SZ
// text as stored (up to 1023 bytes), or a REG_DWORD.
std::optional<std::string> readRegistryText(HKEY root, const char* subKey, const char* valueName);
std::optional<DWORD> readRegistryDword(HKEY root, const char* subKey, const char* valueName);
// The service's machine key (HKLM\SOFTWARE\Xir\XirARP, in the 64-bit view) as Apply writes it, one value of it
// gone, and all gone again.
inline const char* const kTestMachineKey = "SOFTWARE\\Xir\\XirARP";
// The machine key's pair and interval, and the collector when one is given.
void writeMachineSettings(DWORD timer, const std::string& gwip, const std::string& gwmac,
                          const std::string& syslog = "");
void removeMachineSetting(const char* valueName);
void removeMachineSettings();

// Gives the settings key an access list (SDDL), making the key when missing; removeProgramSettings opens it
// again first. Wine refuses no deletion by itself: a key that cannot be read cannot be deleted.
bool setSettingsKeyAccess(const char* sddl);
inline const char* const kSettingsOpen = "D:(A;;KA;;;WD)";
inline const char* const kSettingsWritesRefused = "D:(D;;0x6;;;WD)(A;;KA;;;WD)";       // values, sub keys
inline const char* const kSettingsChangesRefused = "D:(D;;0x1000F;;;WD)(A;;KA;;;WD)";  // and reads, deletion

// A test starts and ends on a clean account: none of the program's settings stored.
class CleanSettingsTest : public testing::Test {
  protected:
    void SetUp() override { removeProgramSettings(); }
    void TearDown() override { removeProgramSettings(); }
};
