#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The two kinds of checked edit in the main window: a gateway MAC byte and the binding interval.
enum class FieldKind { MacByte, Interval };

struct FieldRange {
    uint32_t lower;
    uint32_t upper;
    const char* lowerText;  // as the message shows them
    const char* upperText;
};

FieldRange fieldRange(FieldKind kind);

// The number an edit's text stands for, or none.
// MAC byte: one or two hexadecimal digits, either case, and nothing else, so "1G" is no number. Interval: like
// "%d": blanks, an optional sign, then decimal digits; a number beyond 32 bits counts as no number.
std::optional<int32_t> readFieldValue(FieldKind kind, const std::string& text);

// Compared without sign, so a negative number is out of range as well; no number is out of range.
bool fieldValueInRange(FieldKind kind, std::optional<int32_t> value);

// A value as it is put back into its edit: formatMacByte for a MAC byte (0 to 255), "%d" for the interval.
std::string formatFieldValue(FieldKind kind, int32_t value);

// The text that replaces a refused one: the previous value in its field's format, or the empty text when the
// previous text held no number of the field's kind, so a text such as "1G" never comes back.
std::string restoredFieldText(FieldKind kind, const std::string& previousText);

// The out-of-range message: its pattern in the window's language, with the field's bounds for the two "%s".
std::string outOfRangeMessage(FieldKind kind, const std::string& pattern);

// The syslog collector's edit takes what parseSyslogCollector takes, the empty text (no syslog) included.
bool syslogTextAccepted(const std::string& text);

// The text that replaces a refused collector: the previous one when it was accepted, otherwise the empty text.
std::string restoredSyslogText(const std::string& previousText);
