#pragma once
#include <cstdint>
#include <string>

// The settings record, in the order the client configuration carries it.
struct ArpSettings {
    int32_t language = 0;
    std::string mode;  // client mode token; never stored in the registry
    std::string pwd;   // password digest, 32 lower-case hex digits, or empty
    int32_t timer = 0;
    std::string gwmac;
    std::string gwip;
};

// Registry location of the settings and the full value paths the accessors take.
#define XIRARP_SETTINGS_KEY "Software\\Xir\\XirARP"
constexpr const char* kSettingsKey = XIRARP_SETTINGS_KEY;
constexpr const char* kVendorKey = "Software\\Xir";
constexpr const char* kLanguageValuePath = XIRARP_SETTINGS_KEY "\\language";
constexpr const char* kPwdValuePath = XIRARP_SETTINGS_KEY "\\pwd";
constexpr const char* kTimerValuePath = XIRARP_SETTINGS_KEY "\\timer";
constexpr const char* kGwmacValuePath = XIRARP_SETTINGS_KEY "\\gwmac";
constexpr const char* kGwipValuePath = XIRARP_SETTINGS_KEY "\\gwip";
