#include "ui/apply_rules.h"

#include <cstdio>

#include "config/client_config.h"
#include "sys/number_text.h"

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

bool gatewayMacRefused(const std::array<std::string, 6>& groups) {
    const std::optional<MacBytes> mac = parseMacBytes(composeGwmac(groups));
    return mac && !isHostMac(*mac);
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
    return readDecimal(text, DecimalOverflow::Clamp).value_or(0);
}
