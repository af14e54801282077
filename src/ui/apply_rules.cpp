#include "ui/apply_rules.h"

#include <cstdio>
#include <limits>

#include "config/client_config.h"

const char* clientModeToken(bool yesSelected, bool noSelected) {
    return yesSelected && !noSelected ? kTokenClientAsk : kTokenClientBind;
}

std::string composeGwmac(const std::array<std::string, 6>& groups) {
    std::string mac;
    for (size_t i = 0; i < groups.size(); ++i) {
        if (i > 0)
            mac += '-';
        mac += groups[i];
    }
    return mac;
}

int firstEmptyMacGroup(const std::array<std::string, 6>& groups) {
    for (size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].empty())
            return static_cast<int>(i);
    }
    return -1;
}

std::string formatIpv4Text(const Ipv4Bytes& bytes) {
    char text[16];
    snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

int32_t intervalFromText(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    // Accumulate as a negative number so that the lowest 32-bit value needs no special case.
    constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
    int64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 - (text[at] - '0');
        if (value < kLowest)
            value = kLowest - 1;  // stays below the range whatever digits follow
    }
    if (negative)
        return static_cast<int32_t>(value < kLowest ? kLowest : value);
    return static_cast<int32_t>(-value > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                                             : -value);
}
