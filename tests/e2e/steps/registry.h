#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The program's settings as another process sees them in the shared registry.
void removeProgramSettings();  // HKCU\Software\Xir with everything below
std::optional<DWORD> readSettingDword(const char* valueName);
std::optional<std::string> readSettingString(const char* valueName);
bool settingsKeyExists();
void writeSettingDword(const char* valueName, DWORD value);
void writeSettingString(const char* valueName, const std::string& value);
