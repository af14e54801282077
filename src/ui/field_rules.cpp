#include "ui/field_rules.h"

#include <cstdio>

namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One or two hexadecimal digits and nothing else: a group that is not a number would reach the stored MAC
// text, every later "arp -s" and the client package as typed.
std::optional<int32_t> readMacByte(const std::string& text) {
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        int digit = hexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

std::optional<int32_t> readDecimal(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    size_t firstDigit = at;
    int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    if (at == firstDigit)
        return std::nullopt;
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

FieldRange fieldRange(FieldKind kind) {
    if (kind == FieldKind::MacByte)
        return {0, 255, "00", "FF"};
    return {1, 3600, "1", "3600"};
}

std::optional<int32_t> readFieldValue(FieldKind kind, const std::string& text) {
    return kind == FieldKind::MacByte ? readMacByte(text) : readDecimal(text);
}

bool fieldValueInRange(FieldKind kind, std::optional<int32_t> value) {
    if (!value)
        return false;
    FieldRange range = fieldRange(kind);
    uint32_t unsignedValue = static_cast<uint32_t>(*value);
    return unsignedValue >= range.lower && unsignedValue <= range.upper;
}

std::string formatFieldValue(FieldKind kind, int32_t value) {
    char text[16];
    if (kind == FieldKind::MacByte)
        snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value));
    else
        snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

std::string restoredFieldText(FieldKind kind, const std::string& previousText) {
    std::optional<int32_t> previous = readFieldValue(kind, previousText);
    return previous ? formatFieldValue(kind, *previous) : std::string();
}

std::string outOfRangeMessage(FieldKind kind, const std::string& pattern) {
    FieldRange range = fieldRange(kind);
    char message[128];
    snprintf(message, sizeof message, pattern.c_str(), range.lowerText, range.upperText);
    return message;
}
