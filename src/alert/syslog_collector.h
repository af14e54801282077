#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where the alerts go as syslog: the registry value "syslog" (REG_SZ), written by an administrator or a policy
// and read as if hostile. Forms: "udp://HOST[:PORT]", "tcp://HOST[:PORT]", or "HOST[:PORT]" for UDP; HOST is a
// dotted IPv4 address or a DNS name; the scheme in either case. Empty means no syslog.

enum class SyslogTransport : uint8_t { Udp, Tcp };

constexpr uint16_t kSyslogDefaultPort = 514;
// Longer values are refused before they are looked at: a DNS name is at most 253 characters, the rest fits in 47.
constexpr size_t kSyslogValueMaxLength = 300;

struct SyslogCollector {
    SyslogTransport transport = SyslogTransport::Udp;
    std::string host;  // lower case; a DNS name may keep its one final dot
    uint16_t port = kSyslogDefaultPort;
    bool operator==(const SyslogCollector&) const = default;
};

// Why a value names no collector. "tls" has its own reason: the syntax keeps room for it.
enum class SyslogRefusal : uint8_t {
    None,       // none: a collector, or an empty value (no syslog)
    TooLong,    // over kSyslogValueMaxLength
    Character,  // a space, a control character or one outside ASCII
    Scheme,     // a scheme other than udp and tcp
    TlsNotYet,  // "tls://": not supported by this version
    UserInfo,   // "user@host"
    Path,       // a path, query or fragment after the host
    Ipv6,       // brackets or more than one colon
    Host,       // empty, or neither a dotted IPv4 address nor a DNS name
    Port,       // not 1 to 65535 in decimal digits
};

struct SyslogCollectorParse {
    std::optional<SyslogCollector> collector;
    SyslogRefusal refusal = SyslogRefusal::None;  // with no collector and None: the value asks for no syslog
};

SyslogCollectorParse parseSyslogCollector(std::string_view value);

// The one form a collector is stored and shown in: "udp://host:514". parseSyslogCollector reads it back unchanged.
std::string formatSyslogCollector(const SyslogCollector& collector);
