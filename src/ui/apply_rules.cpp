#include "ui/apply_rules.h"

#include <cstdio>

#include "config/client_config.h"
#include "sys/number_text.h"

const char* clientModeToken(bool yesSelected, bool noSelected) {
    return yesSelected && !noSelected ? kTokenClientAsk : kTokenClientBind;
}

std::optional<MacBytes> macOfFields(const std::array<std::string, 6>& groups) {
    MacBytes mac{};
    for (size_t i = 0; i < groups.size(); ++i) {
        const std::optional<uint8_t> byte = parseMacByte(groups[i]);
        if (!byte)
            return std::nullopt;
        mac[i] = *byte;
    }
    return mac;
}

std::string formatIpv4Text(const Ipv4Bytes& bytes) {
    char text[16];
    snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

int32_t intervalFromText(const std::string& text) {
    return readDecimal(text, DecimalOverflow::Clamp).value_or(0);
}
