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

// While it lives, the settings key refuses to be written, as a key an administrator locked would, and with
// readsToo to be read or deleted as well (Wine refuses no deletion by itself); removeProgramSettings lifts the
// refusal first. The key is made when missing.
class SettingsChangesRefused {
  public:
    explicit SettingsChangesRefused(bool readsToo = false);
    ~SettingsChangesRefused();
    SettingsChangesRefused(const SettingsChangesRefused&) = delete;
    SettingsChangesRefused& operator=(const SettingsChangesRefused&) = delete;
};

// A test starts and ends on a clean account: none of the program's settings stored.
class CleanSettingsTest : public testing::Test {
  protected:
    void SetUp() override { removeProgramSettings(); }
    void TearDown() override { removeProgramSettings(); }
};
