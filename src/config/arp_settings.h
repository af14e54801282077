#pragma once
#include <cstdint>
#include <string>

// User-interface language number as stored in "language". Any number other than 1 and 2 shows English.
enum UiLanguage : int32_t {
    English = 0,
    SimplifiedChinese = 1,
    TraditionalChinese = 2,
};

// Only the main window uses this, as the default that means "nothing stored yet".
constexpr int32_t kLanguageUnset = 99;

constexpr uint16_t kLangIdEnglishUs = 1033;
constexpr uint16_t kLangIdChinesePrc = 2052;
constexpr uint16_t kLangIdChineseTaiwan = 1028;

// The language that belongs to a system default language identifier.
int32_t systemUiLanguage(uint16_t langId);

// The language identifier of a language number's string table: 1 Simplified, 2 Traditional, anything
// else English.
uint16_t textLanguageId(int32_t language);

// The settings record, in the order the client configuration carries it.
struct ArpSettings {
    int32_t language = 0;
    std::string mode;  // client mode token; never stored in the registry
    std::string pwd;   // password digest, 32 lower-case hex digits, or empty
    int32_t timer = 0;
    std::string gwmac;
    std::string gwip;
    int32_t service = 0;  // 1: Apply installs the service that pins the gateway for every user
    std::string syslog;   // the collector alerts go to, as kSyslogValuePath holds it; empty: none
};

// Registry location of the settings and the full value paths the accessors take.
#define XIRARP_SETTINGS_KEY "Software\\Xir\\XirARP"
constexpr const char* kSettingsKey = XIRARP_SETTINGS_KEY;
constexpr const char* kLanguageValuePath = XIRARP_SETTINGS_KEY "\\language";
constexpr const char* kPwdValuePath = XIRARP_SETTINGS_KEY "\\pwd";
constexpr const char* kTimerValuePath = XIRARP_SETTINGS_KEY "\\timer";
constexpr const char* kGwmacValuePath = XIRARP_SETTINGS_KEY "\\gwmac";
constexpr const char* kGwipValuePath = XIRARP_SETTINGS_KEY "\\gwip";
// Whether Apply installs the service (REG_DWORD 0 or 1); carried by a client text as its seventh line.
constexpr const char* kServiceValuePath = XIRARP_SETTINGS_KEY "\\service";

// The service's own copy of the gateway pair and interval, under HKEY_LOCAL_MACHINE: same names, same types.
#define XIRARP_MACHINE_SETTINGS_KEY "SOFTWARE\\Xir\\XirARP"
constexpr const char* kMachineSettingsKey = XIRARP_MACHINE_SETTINGS_KEY;
constexpr const char* kMachineTimerValuePath = XIRARP_MACHINE_SETTINGS_KEY "\\timer";
constexpr const char* kMachineGwmacValuePath = XIRARP_MACHINE_SETTINGS_KEY "\\gwmac";
constexpr const char* kMachineGwipValuePath = XIRARP_MACHINE_SETTINGS_KEY "\\gwip";
// The MAC of the pinned gateway once it answered an echo through the pinned entry, in the key its binding came from:
// a copy that starts away from that gateway then still tells "away" from "down".
constexpr const char* kEchoValuePath = XIRARP_SETTINGS_KEY "\\gwecho";
constexpr const char* kMachineEchoValuePath = XIRARP_MACHINE_SETTINGS_KEY "\\gwecho";
// The syslog collector alerts go to (REG_SZ: "udp://HOST[:PORT]", "tcp://HOST[:PORT]" or "HOST[:PORT]"); empty or
// absent: none. The service reads the machine key's, a copy without a service the user's.
constexpr const char* kSyslogValuePath = XIRARP_SETTINGS_KEY "\\syslog";
constexpr const char* kMachineSyslogValuePath = XIRARP_MACHINE_SETTINGS_KEY "\\syslog";
// Whether this machine may move to another network (REG_DWORD; 0: never judge the pinned gateway away, for desktops
// that never move). Group Policy writes the machine key's, which holds for the service and every user; a user's
// counts only where the machine key has none.
constexpr const char* kRoamingValuePath = XIRARP_SETTINGS_KEY "\roaming";
constexpr const char* kMachineRoamingValuePath = XIRARP_MACHINE_SETTINGS_KEY "\roaming";
// Written by the service while its gateway is not on this network: the MAC of the router that answers there. A
// user's copy beside the service reads it, so that it tells "away" where it would see another MAC answering.
constexpr const char* kMachineAwayValuePath = XIRARP_MACHINE_SETTINGS_KEY "\\away";
// Written by the service (REG_DWORD 1) while its pinned gateway does not answer through the pin, so that the users'
// copies beside it turn red too.
constexpr const char* kMachineSilentValuePath = XIRARP_MACHINE_SETTINGS_KEY "\\silent";
