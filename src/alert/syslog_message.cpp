#include "alert/syslog_message.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::string_view kAppName = "XirARP";
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
// Header field lengths (RFC 5424, 6), and the swVersion parameter's (7.2.3).
constexpr size_t kHostnameMax = 255;
constexpr size_t kAppNameMax = 48;
constexpr size_t kProcIdMax = 128;
constexpr size_t kMsgIdMax = 32;
constexpr size_t kSwVersionMax = 32;
// The last millisecond a four-digit year can write: 9999-12-31T23:59:59.999Z.
constexpr uint64_t kLastTimestampMs = 253402300799999;

// Length of the well-formed UTF-8 sequence at the start of text (RFC 3629: no overlong forms, no surrogates,
// nothing past U+10FFFF), its code point in cp; 0 when there is none.
size_t utf8Sequence(std::string_view text, uint32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t length = 1;
    uint32_t least = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2, least = 0x80, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, least = 0x800, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, least = 0x10000, cp = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

// The text as well-formed UTF-8 on one line: a byte that starts no character and every control character (a line
// feed could forge a second record in a collector's file) become U+FFFD. Specials get a backslash before them.
void appendCleanUtf8(std::string& out, std::string_view text, std::string_view specials) {
    while (!text.empty()) {
        uint32_t cp = 0;
        const size_t length = utf8Sequence(text, cp);
        if (length == 0 || cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
            out += kReplacement;
        } else {
            if (length == 1 && specials.find(text[0]) != std::string_view::npos)
                out += '\\';
            out.append(text.substr(0, length));
        }
        text.remove_prefix(std::max<size_t>(length, 1));
    }
}

// The longest start of a well-formed UTF-8 text that has at most maxBytes bytes and ends on a character boundary.
std::string_view utf8Prefix(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

// A header field: printable ASCII without spaces, at most maxLength, "-" (the nil value) for nothing.
void appendHeaderField(std::string& out, std::string_view text, size_t maxLength) {
    text = text.substr(0, maxLength);
    if (text.empty())
        out += '-';
    for (char c : text)
        out += c > ' ' && c < 0x7F ? c : '_';
}

// Days since 1970-01-01 to a civil date (the proleptic Gregorian calendar; H. Hinnant's days_from_civil inverse).
void civilFromDays(uint64_t days, unsigned& year, unsigned& month, unsigned& day) {
    const uint64_t z = days + 719468;
    const uint64_t era = z / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = static_cast<unsigned>(yearOfEra + era * 400) + (month <= 2 ? 1 : 0);
}

void appendTimestamp(std::string& out, uint64_t utcMs) {
    if (utcMs > kLastTimestampMs) {
        out += '-';
        return;
    }
    unsigned year = 0, month = 0, day = 0;
    civilFromDays(utcMs / 86400000, year, month, day);
    const auto msOfDay = static_cast<unsigned>(utcMs % 86400000);
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", year, month, day, msOfDay / 3600000,
             msOfDay / 60000 % 60, msOfDay / 1000 % 60, msOfDay % 1000);
    out += text;
}

void appendStructuredData(std::string& out, std::string_view version, uint32_t sequenceId) {
    std::string cleanVersion;
    appendCleanUtf8(cleanVersion, version, {});
    out += "[origin software=\"";
    out += kAppName;
    out += "\" swVersion=\"";
    appendCleanUtf8(out, utf8Prefix(cleanVersion, kSwVersionMax), "\"\\]");
    out += "\"]";
    if (sequenceId >= 1 && sequenceId <= kSyslogSequenceIdMax) {
        char meta[48];
        snprintf(meta, sizeof meta, "[meta sequenceId=\"%lu\"]", static_cast<unsigned long>(sequenceId));
        out += meta;
    }
}

// "key=value" pairs a collector can split at the spaces: a value with a space, a quote or an equals sign is quoted.
void appendFields(std::string& out, std::span<const SyslogField> fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ' ';
        if (fields[i].key.empty())
            out += '_';
        for (char c : fields[i].key)
            out += c > ' ' && c < 0x7F && c != '=' && c != '"' ? c : '_';
        out += '=';
        const std::string_view value = fields[i].value;
        if (value.find_first_of(" \"=") == std::string_view::npos) {
            appendCleanUtf8(out, value, {});
            continue;
        }
        out += '"';
        appendCleanUtf8(out, value, "\"\\");
        out += '"';
    }
}

}  // namespace

uint32_t nextSyslogSequenceId(uint32_t previous) {
    return previous >= kSyslogSequenceIdMax ? 1 : previous + 1;
}

std::string formatSyslogMessage(const SyslogRecord& record, size_t maxLength) {
    const unsigned severity = std::min(static_cast<unsigned>(record.severity), 7u);
    char pri[16];
    snprintf(pri, sizeof pri, "<%u>1 ", kSyslogFacility * 8 + severity);
    std::string message = pri;
    appendTimestamp(message, record.utcMs);
    message += ' ';
    appendHeaderField(message, record.hostname, kHostnameMax);
    message += ' ';
    appendHeaderField(message, kAppName, kAppNameMax);
    message += ' ';
    appendHeaderField(message, record.procId, kProcIdMax);
    message += ' ';
    appendHeaderField(message, record.msgId, kMsgIdMax);
    message += ' ';
    appendStructuredData(message, record.version, record.sequenceId);
    message += ' ';
    message += kBom;
    if (message.size() > maxLength)
        return {};
    std::string body;
    appendFields(body, record.fields);
    message += utf8Prefix(body, maxLength - message.size());
    return message;
}

std::string frameOctetCounted(std::string_view message) {
    char length[24];
    snprintf(length, sizeof length, "%lu ", static_cast<unsigned long>(message.size()));
    return length + std::string(message);
}
