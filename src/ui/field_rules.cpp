#include "ui/field_rules.h"

#include <cstdio>

#include "net/address_text.h"
#include "sys/number_text.h"

namespace {

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

}  // namespace

FieldRange fieldRange(FieldKind kind) {
    if (kind == FieldKind::MacByte)
        return {0, 255, "00", "FF"};
    return {1, 3600, "1", "3600"};
}

std::optional<int32_t> readFieldValue(FieldKind kind, const std::string& text) {
    return kind == FieldKind::MacByte ? readMacByte(text) : readDecimal(text, DecimalOverflow::Refuse);
}

bool fieldValueInRange(FieldKind kind, std::optional<int32_t> value) {
    if (!value)
        return false;
    FieldRange range = fieldRange(kind);
    uint32_t unsignedValue = static_cast<uint32_t>(*value);
    return unsignedValue >= range.lower && unsignedValue <= range.upper;
}

std::string formatFieldValue(FieldKind kind, int32_t value) {
    if (kind == FieldKind::MacByte)
        return formatMacByte(static_cast<uint8_t>(value));
    char text[16];
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
