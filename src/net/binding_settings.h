#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "net/address_text.h"

// The gateway pair and interval a binding runs with, parsed once from the stored texts.
struct BindingSettings {
    std::string gwip;   // dotted IPv4 text, as the commands and the tips carry it
    uint32_t address;   // the same address in network byte order, as the ARP rows hold it
    MacBytes mac;       // the pinned MAC address
    int32_t interval;   // seconds, the one in force
    uint32_t periodMs;  // the interval as a timer period

    bool operator==(const BindingSettings&) const = default;
};

// Either settings a binding can run with, or the first value that keeps it from running: "timer" (none stored),
// "gwip" (not a dotted IPv4 address) or "gwmac" (not a MAC, or one no host answers with: null, broadcast, group).
struct BindingCheck {
    std::optional<BindingSettings> settings;
    const char* invalid = nullptr;
};

// The one rule for the window's members and the service's machine key alike. An interval outside 1 to 3600 stands
// for the default (intervalInForce); only 0, nothing stored, refuses.
BindingCheck checkBindingSettings(int32_t timer, const std::string& gwip, const std::string& gwmac);
