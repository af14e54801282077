#include "net/suspects_text.h"

#include <cstdio>

std::string ipv4Text(uint32_t addrNetworkOrder) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&addrNetworkOrder);
    char text[16] = {};
    snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

std::string suspectsText(const std::vector<uint32_t>& suspects, const std::string& noneText) {
    if (suspects.empty())
        return noneText;
    std::string text;
    for (const uint32_t suspect : suspects)
        text += (text.empty() ? "" : ", ") + ipv4Text(suspect);
    return text;
}
