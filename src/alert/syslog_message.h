#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One alert as an RFC 5424 message:
//   <PRI>1 TIMESTAMP HOSTNAME XirARP PROCID MSGID [origin software="XirARP" swVersion="..."][meta sequenceId="N"]
//   BOM key=value key="value with spaces"
// The record's texts may come from the system (a host name, an adapter's description): the formatter bounds and
// cleans every one of them, so whatever they hold it writes one well-formed message of at most the length asked.

enum class SyslogSeverity : uint8_t {
    Emergency = 0,
    Alert = 1,
    Critical = 2,
    Error = 3,
    Warning = 4,
    Notice = 5,
    Informational = 6,
    Debug = 7,
};

// authpriv (10), not auth (4): an alert names the gateway's and an attacker's addresses on the local network, and
// collectors route authpriv to the restricted security log by default, auth often to a world-readable one.
constexpr unsigned kSyslogFacility = 10;

// UDP: one message per datagram (RFC 5426), whole, header included; kept well below a link's MTU after IPv4 and
// UDP headers so that no datagram is fragmented. TCP: the size every collector must take (RFC 5424, 6.1).
constexpr size_t kSyslogUdpMaxLength = 1024;
constexpr size_t kSyslogTcpMaxLength = 2048;

// Sequence ids of the meta element run from 1 to this and then start again at 1 (RFC 5424, 7.3.1).
constexpr uint32_t kSyslogSequenceIdMax = 2147483647;
// The sequence id after `previous` (0 before the first message).
uint32_t nextSyslogSequenceId(uint32_t previous);

struct SyslogField {
    std::string_view key;
    std::string_view value;
};

struct SyslogRecord {
    SyslogSeverity severity = SyslogSeverity::Notice;
    std::string_view msgId;  // what happened, one word: "PINNED", "CONFLICT", ...
    uint64_t utcMs = 0;      // milliseconds since 1970-01-01 UTC
    std::string_view hostname;
    std::string_view procId;
    uint32_t sequenceId = 1;  // 1 to kSyslogSequenceIdMax; the meta element is left out for any other
    std::string_view version;
    std::span<const SyslogField> fields;  // in the order they are written
};

// The message, at most maxLength bytes: a longer MSG is cut at a character boundary, the header and the structured
// data never are. Empty when even they do not fit (a maxLength far below kSyslogUdpMaxLength).
std::string formatSyslogMessage(const SyslogRecord& record, size_t maxLength);

// TCP framing by octet counting (RFC 6587, 3.4.1): "LEN SP MSG".
std::string frameOctetCounted(std::string_view message);
