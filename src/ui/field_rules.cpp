#include "ui/field_rules.h"

#include <cstdio>

#include "alert/syslog_collector.h"
#include "net/address_text.h"
#include "sys/number_text.h"

FieldRange fieldRange(FieldKind kind) {
    if (kind == FieldKind::MacByte)
        return {0, 255, "00", "FF"};
    return {1, 3600, "1", "3600"};
}

std::optional<int32_t> readFieldValue(FieldKind kind, const std::string& text) {
    if (kind == FieldKind::Interval)
        return readDecimal(text, DecimalOverflow::Refuse);
    const std::optional<uint8_t> byte = parseMacByte(text);
    return byte ? std::optional<int32_t>(*byte) : std::nullopt;
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

bool syslogTextAccepted(const std::string& text) {
    return parseSyslogCollector(text).refusal == SyslogRefusal::None;
}

std::string restoredSyslogText(const std::string& previousText) {
    return syslogTextAccepted(previousText) ? previousText : std::string();
}
