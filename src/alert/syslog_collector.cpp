#include "alert/syslog_collector.h"

#include <cstdio>

#include "net/address_text.h"

namespace {

constexpr size_t kHostMaxLength = 253;  // without a final dot
constexpr size_t kLabelMaxLength = 63;

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLabelCharacter(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || c == '-';
}

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (lowerAscii(text[i]) != lower[i])
            return false;
    }
    return true;
}

// A label the system's resolver would read as a number ("1", "0x7f000001") rather than look up as a name.
bool readsAsNumber(std::string_view label) {
    if (label.size() >= 2 && label[0] == '0' && label[1] == 'x')
        return label.find_first_not_of("0123456789abcdef", 2) == std::string_view::npos;
    return label.find_first_not_of("0123456789") == std::string_view::npos;
}

// RFC 1123 labels joined by dots, one final dot allowed. A last label that reads as a number is refused: the
// resolver would take "10.1" or "1.2.3.0x4" as an address, and not the one the administrator sees.
bool isDnsName(std::string_view host) {
    if (!host.empty() && host.back() == '.')
        host.remove_suffix(1);
    if (host.empty() || host.size() > kHostMaxLength)
        return false;
    std::string_view label;
    for (size_t start = 0; start <= host.size();) {
        size_t stop = host.find('.', start);
        if (stop == std::string_view::npos)
            stop = host.size();
        label = host.substr(start, stop - start);
        if (label.empty() || label.size() > kLabelMaxLength || label.front() == '-' || label.back() == '-')
            return false;
        for (char c : label) {
            if (!isLabelCharacter(c))
                return false;
        }
        start = stop + 1;
    }
    return !readsAsNumber(label);
}

std::optional<uint16_t> parsePort(std::string_view text) {
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    uint32_t port = 0;
    for (char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        port = port * 10 + static_cast<uint32_t>(c - '0');
    }
    if (port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(port);
}

SyslogCollectorParse refused(SyslogRefusal refusal) {
    return {std::nullopt, refusal};
}

}  // namespace

SyslogCollectorParse parseSyslogCollector(std::string_view value) {
    if (value.empty())
        return {};
    if (value.size() > kSyslogValueMaxLength)
        return refused(SyslogRefusal::TooLong);
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F)
            return refused(SyslogRefusal::Character);
    }

    SyslogCollector collector;
    std::string_view rest = value;
    if (const size_t schemeEnd = rest.find("://"); schemeEnd != std::string_view::npos) {
        const std::string_view scheme = rest.substr(0, schemeEnd);
        if (equalsIgnoringCase(scheme, "tcp"))
            collector.transport = SyslogTransport::Tcp;
        else if (equalsIgnoringCase(scheme, "tls"))
            return refused(SyslogRefusal::TlsNotYet);
        else if (!equalsIgnoringCase(scheme, "udp"))
            return refused(SyslogRefusal::Scheme);
        rest.remove_prefix(schemeEnd + 3);
    }
    if (rest.find_first_of("/?#") != std::string_view::npos)
        return refused(SyslogRefusal::Path);
    if (rest.find('@') != std::string_view::npos)
        return refused(SyslogRefusal::UserInfo);
    const size_t colon = rest.find(':');
    if (rest.find_first_of("[]") != std::string_view::npos ||
        (colon != std::string_view::npos && rest.find(':', colon + 1) != std::string_view::npos))
        return refused(SyslogRefusal::Ipv6);

    for (char c : rest.substr(0, colon))
        collector.host += lowerAscii(c);
    // A host of digits and dots only is an address, and then exactly a dotted one: never left to the resolver's
    // shorter and octal forms.
    const bool numeric = collector.host.find_first_not_of("0123456789.") == std::string::npos;
    if (collector.host.empty() || (numeric ? !isDottedIpv4Text(collector.host) : !isDnsName(collector.host)))
        return refused(SyslogRefusal::Host);
    if (colon != std::string_view::npos) {
        const std::optional<uint16_t> port = parsePort(rest.substr(colon + 1));
        if (!port)
            return refused(SyslogRefusal::Port);
        collector.port = *port;
    }
    return {std::move(collector), SyslogRefusal::None};
}

std::string formatSyslogCollector(const SyslogCollector& collector) {
    char port[8];
    snprintf(port, sizeof port, ":%u", static_cast<unsigned>(collector.port));
    return (collector.transport == SyslogTransport::Tcp ? "tcp://" : "udp://") + collector.host + port;
}
