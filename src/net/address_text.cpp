#include "net/address_text.h"

#include <cstdio>

#include "sys/number_text.h"

namespace {

// A digit of base 10 or 16; -1 for anything else.
int digitValue(char c, int base) {
    int value = hexDigitValue(c);
    return value < base ? value : -1;
}

// One part: blanks, 1 to maxDigits digits of the base, blanks. Nothing else.
std::optional<unsigned> parseNumber(std::string_view part, int base, size_t maxDigits) {
    size_t begin = 0;
    size_t end = part.size();
    while (begin < end && isBlank(part[begin]))
        ++begin;
    while (end > begin && isBlank(part[end - 1]))
        --end;
    if (begin == end || end - begin > maxDigits)
        return std::nullopt;
    unsigned value = 0;
    for (size_t i = begin; i < end; ++i) {
        int digit = digitValue(part[i], base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
    }
    return value;
}

// Splits text at every separator into exactly N numbers.
template <size_t N>
std::optional<std::array<uint8_t, N>> parseParts(std::string_view text, char separator, int base, size_t maxDigits) {
    std::array<uint8_t, N> bytes{};
    size_t start = 0;
    for (size_t i = 0; i < N; ++i) {
        size_t stop = text.find(separator, start);
        bool last = i + 1 == N;
        if (last != (stop == std::string_view::npos))
            return std::nullopt;  // too few or too many separators
        auto value = parseNumber(text.substr(start, last ? std::string_view::npos : stop - start), base, maxDigits);
        if (!value)
            return std::nullopt;
        bytes[i] = static_cast<uint8_t>(*value & 0xFF);
        start = stop + 1;
    }
    return bytes;
}

// Exactly `count` parts joined by `separator`, each one accepted by `partOk`.
template <typename PartCheck>
bool partsAre(std::string_view text, char separator, size_t count, PartCheck partOk) {
    size_t parts = 0;
    for (size_t start = 0;;) {
        size_t stop = text.find(separator, start);
        std::string_view part = text.substr(start, stop == std::string_view::npos ? stop : stop - start);
        if (++parts > count || !partOk(part))
            return false;
        if (stop == std::string_view::npos)
            return parts == count;
        start = stop + 1;
    }
}

bool digitsOnly(std::string_view part, int base, size_t maxDigits) {
    if (part.empty() || part.size() > maxDigits)
        return false;
    for (char c : part) {
        if (digitValue(c, base) < 0)
            return false;
    }
    return true;
}

}  // namespace

bool isDottedIpv4Text(std::string_view text) {
    return partsAre(text, '.', 4, [](std::string_view part) {
        if (!digitsOnly(part, 10, 3) || (part.size() > 1 && part[0] == '0'))
            return false;
        return parseNumber(part, 10, 3).value_or(256) <= 255;
    });
}

bool isHostMac(const MacBytes& mac) {
    bool allZero = true;
    for (uint8_t byte : mac)
        allZero = allZero && byte == 0;
    return !allZero && (mac[0] & 0x01) == 0;
}

std::optional<MacBytes> pinnableMac(std::string_view text) {
    std::optional<MacBytes> mac = parseMacBytes(text);
    if (!mac || !isHostMac(*mac))
        return std::nullopt;
    return mac;
}

std::optional<Ipv4Bytes> parseIpv4Bytes(std::string_view text) {
    return parseParts<4>(text, '.', 10, 3);
}

std::optional<MacBytes> parseMacBytes(std::string_view text) {
    const char separator = text.find('-') != std::string_view::npos ? '-' : ':';
    MacBytes mac{};
    size_t groups = 0;
    const bool read = partsAre(text, separator, mac.size(), [&](std::string_view part) {
        const std::optional<uint8_t> byte = parseMacByte(part);
        if (byte)
            mac[groups++] = *byte;
        return byte.has_value();
    });
    return read ? std::optional<MacBytes>(mac) : std::nullopt;
}

std::optional<uint8_t> parseMacByte(std::string_view text) {
    if (!digitsOnly(text, 16, 2))
        return std::nullopt;
    return static_cast<uint8_t>(parseNumber(text, 16, 2).value_or(0));
}

std::string formatMacByte(uint8_t byte) {
    char text[3];
    snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string formatMacText(const MacBytes& mac) {
    std::string text;
    for (size_t i = 0; i < mac.size(); ++i) {
        if (i > 0)
            text += '-';
        text += formatMacByte(mac[i]);
    }
    return text;
}

std::array<std::string, 6> macByteTexts(const MacBytes& mac) {
    std::array<std::string, 6> texts;
    for (size_t i = 0; i < mac.size(); ++i)
        texts[i] = formatMacByte(mac[i]);
    return texts;
}
