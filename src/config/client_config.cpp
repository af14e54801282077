#include "config/client_config.h"

#include <cstdio>
#include <cstring>

#include "sys/number_text.h"

namespace {

const char* const kKeyTexts[kConfigKeyCount] = {
    "\"language\"=dword:", "\"mode\"=\"", "\"pwd\"=\"", "\"timer\"=dword:", "\"gwmac\"=\"", "\"gwip\"=\"",
    "\"service\"=dword:", "\"syslog\"=\"",
};

bool isDwordKey(ConfigKey key) {
    return key == ConfigKey::Language || key == ConfigKey::Timer || key == ConfigKey::Service;
}

// Byte search that, unlike strstr, does not stop at zero bytes.
size_t find(const char* data, size_t size, size_t from, const char* needle) {
    size_t needleSize = strlen(needle);
    if (from > size || needleSize > size - from)
        return SIZE_MAX;
    for (size_t at = from; at + needleSize <= size; ++at) {
        if (memcmp(data + at, needle, needleSize) == 0)
            return at;
    }
    return SIZE_MAX;
}

size_t findByte(const char* data, size_t size, size_t from, char byte) {
    const void* hit = from < size ? memchr(data + from, byte, size - from) : nullptr;
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : SIZE_MAX;
}

}  // namespace

bool ParsedClientConfig::has(ConfigKey key) const {
    switch (key) {
        case ConfigKey::Language:
            return language.has_value();
        case ConfigKey::Mode:
            return mode.has_value();
        case ConfigKey::Pwd:
            return pwd.has_value();
        case ConfigKey::Timer:
            return timer.has_value();
        case ConfigKey::Gwmac:
            return gwmac.has_value();
        case ConfigKey::Gwip:
            return gwip.has_value();
        case ConfigKey::Service:
            return service.has_value();
        case ConfigKey::Syslog:
            return syslog.has_value();
    }
    return false;
}

std::optional<std::string> formatClientConfig(const ArpSettings& settings) {
    char buffer[kClientConfigBufferSize] = {};
    int length = snprintf(buffer, sizeof buffer,
                          "Windows Registry Editor Version 5.00\r\n\n"
                          "[HKEY_CURRENT_USER\\Software\\Xir\\XirARP]\r\n"
                          "\"language\"=dword:%08d\r\n"
                          "\"mode\"=\"%s\"\r\n"
                          "\"pwd\"=\"%s\"\r\n"
                          "\"timer\"=dword:%08d\r\n"
                          "\"gwmac\"=\"%s\"\r\n"
                          "\"gwip\"=\"%s\"\r\n"
                          "\"service\"=dword:%08d\r\n",
                          static_cast<int>(settings.language), settings.mode.c_str(), settings.pwd.c_str(),
                          static_cast<int>(settings.timer), settings.gwmac.c_str(), settings.gwip.c_str(),
                          settings.service != 0 ? 1 : 0);
    if (length < 0 || static_cast<size_t>(length) >= sizeof buffer)
        return std::nullopt;
    std::string text(buffer, static_cast<size_t>(length));
    // Only with a collector: a package without one reads the same to every version.
    if (!settings.syslog.empty())
        text += "\"syslog\"=\"" + settings.syslog + "\"\r\n";
    if (text.size() >= kClientConfigBufferSize)
        return std::nullopt;
    return text;
}

ParsedClientConfig parseClientConfig(const char* data, size_t size) {
    ParsedClientConfig result;
    size_t searchFrom = find(data, size, 0, kConfigSectionHeader);
    if (searchFrom == SIZE_MAX)
        return result;
    result.headerFound = true;

    for (int index = 0; index < kConfigKeyCount; ++index) {
        ConfigKey key = static_cast<ConfigKey>(index);
        size_t keyAt = find(data, size, searchFrom, kKeyTexts[index]);
        if (keyAt == SIZE_MAX)
            continue;  // missing: the next key is searched from the same place
        size_t valueBegin = keyAt + strlen(kKeyTexts[index]);
        size_t terminator = findByte(data, size, valueBegin, isDwordKey(key) ? '\n' : '"');
        size_t valueEnd = terminator == SIZE_MAX ? size : terminator;
        searchFrom = terminator == SIZE_MAX ? size : terminator + 1;

        if (isDwordKey(key)) {
            // Out-of-range numbers saturate; no digits means no number.
            std::optional<int32_t> number =
                readDecimal(std::string_view(data + valueBegin, valueEnd - valueBegin), DecimalOverflow::Clamp);
            if (key == ConfigKey::Service)
                result.service = number ? std::optional<int32_t>(*number != 0 ? 1 : 0) : std::nullopt;
            else
                (key == ConfigKey::Language ? result.language : result.timer) = number;
            continue;
        }
        std::string text(data + valueBegin, valueEnd - valueBegin);
        switch (key) {
            case ConfigKey::Mode:
                result.mode = std::move(text);
                break;
            case ConfigKey::Pwd:
                result.pwd = std::move(text);
                break;
            case ConfigKey::Gwmac:
                result.gwmac = std::move(text);
                break;
            case ConfigKey::Syslog:
                result.syslog = std::move(text);
                break;
            default:
                result.gwip = std::move(text);
                break;
        }
    }
    return result;
}
