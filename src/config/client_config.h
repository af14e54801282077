#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "config/arp_settings.h"

// Length of the administrator executable; a client copy's configuration text starts here. The build defines
// it, as it pads the program to exactly this length.
#ifndef XIRARP_BASE_IMAGE_SIZE
#error "XIRARP_BASE_IMAGE_SIZE comes from the build (CMakeLists.txt)"
#endif
constexpr size_t kBaseImageSize = XIRARP_BASE_IMAGE_SIZE;

// Mode tokens carried by a client configuration.
constexpr const char* kTokenClientAsk = "K7QW2MZP9TLX5";   // the end user may decline the binding
constexpr const char* kTokenClientBind = "58RDE3HVN0GA1";  // always bind

constexpr const char* kConfigSectionHeader = "[HKEY_CURRENT_USER\\Software\\Xir\\XirARP]";

// The text is composed in a buffer of this size; a record that does not fit yields no text.
constexpr size_t kClientConfigBufferSize = 1024;

std::optional<std::string> formatClientConfig(const ArpSettings& settings);

// The keys of the text, in the order they must appear. The first six are required; a text without the
// service line, as every client copy made before it, reads as "no service", and one without the syslog line as
// "no syslog". The syslog line is written only when there is a collector.
enum class ConfigKey { Language, Mode, Pwd, Timer, Gwmac, Gwip, Service, Syslog };
constexpr int kRequiredConfigKeyCount = 6;
constexpr int kConfigKeyCount = 8;

struct ParsedClientConfig {
    bool headerFound = false;
    std::optional<int32_t> language;
    std::optional<std::string> mode;
    std::optional<std::string> pwd;
    std::optional<int32_t> timer;
    std::optional<std::string> gwmac;
    std::optional<std::string> gwip;
    std::optional<int32_t> service;  // 0 or 1: any number but 0 asks for the service
    std::optional<std::string> syslog;  // as the text holds it, not checked

    bool has(ConfigKey key) const;
};

// Reads the bytes behind the administrator image. Never reads outside [data, data + size).
ParsedClientConfig parseClientConfig(const char* data, size_t size);
