#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alert/syslog_collector.h"
#include "alert/syslog_message.h"
#include "alert/syslog_policy.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The RFC 5424 header read back the way a collector splits it: six fields at the first six spaces, then the
// structured data up to its last "]" and the MSG after one space.
struct Parsed {
    std::vector<std::string> header;
    std::string sd, msg;
};
Parsed parse(const std::string& message) {
    Parsed p;
    size_t at = 0;
    for (int i = 0; i < 6 && at != std::string::npos; ++i) {
        const size_t space = message.find(' ', at);
        p.header.push_back(message.substr(at, space - at));
        at = space == std::string::npos ? space : space + 1;
    }
    const size_t sdEnd = message.find("] " + std::string(kBom));
    if (at != std::string::npos && sdEnd != std::string::npos)
        p.sd = message.substr(at, sdEnd + 1 - at), p.msg = message.substr(sdEnd + 2);
    return p;
}

SyslogRecord record(std::span<const SyslogField> fields = {}) {
    return {SyslogSeverity::Warning, "CONFLICT", 1796901734123, "ws-7", "4242", 9, "2.1", fields};
}

}  // namespace

TEST(SyslogCollector, ReadsEachFormIntoOneCanonicalText) {
    const struct {
        const char* value;
        const char* canonical;
    } rows[] = {
        {"192.0.2.10", "udp://192.0.2.10:514"}, {"Log-1.Example.org.:6514", "udp://log-1.example.org.:6514"},
        {"TCP://loghost:1", "tcp://loghost:1"}, {"uDp://a:65535", "udp://a:65535"},
        {"0x7f.lan", "udp://0x7f.lan:514"},  // a number in a label that is not the last one is a name
    };
    for (const auto& row : rows) {
        const SyslogCollectorParse parsed = parseSyslogCollector(row.value);
        ASSERT_TRUE(parsed.collector) << row.value;
        EXPECT_EQ(formatSyslogCollector(*parsed.collector), row.canonical);
        EXPECT_EQ(parseSyslogCollector(row.canonical).collector, parsed.collector);
    }
    EXPECT_TRUE(!parseSyslogCollector("").collector && parseSyslogCollector("").refusal == SyslogRefusal::None);
}

TEST(SyslogCollector, RefusesEveryOtherFormWithItsReason) {
    const std::string label63(63, 'a'), name253 = label63 + "." + label63 + "." + label63 + "." + std::string(61, 'b');
    using R = SyslogRefusal;
    const struct {
        SyslogRefusal refusal;
        std::vector<std::string> values;
    } rows[] = {
        {R::TooLong, {std::string(301, 'a')}},
        {R::Character, {" loghost", "log host", "loghost\n", std::string("log\0host", 8), "l\xC3\xB6g"}},
        {R::TlsNotYet, {"tls://loghost", "TLS://loghost:6514"}},
        {R::Scheme, {"http://loghost", "://loghost"}},
        {R::Path, {"udp:/loghost", "loghost/", "udp://h:514/x", "h?x"}},
        {R::UserInfo, {"user@loghost"}},
        {R::Ipv6, {"[2001:db8::1]:514", "2001:db8::1"}},
        {R::Host,
         {"udp://", ":514", "-a.b", "a-.b", "a..b", ".a", "a_b", label63 + "a", name253 + "b", "10.1", "192.0.2.1.",
          "192.0.2.01", "256.0.0.1", "host.123", "0x7f000001", "1.2.3.0x4"}},
        {R::Port, {"h:0", "h:65536", "h:", "h:+5", "h:000514", "h:5x"}},
    };
    for (const auto& row : rows) {
        for (const std::string& value : row.values) {
            const SyslogCollectorParse parsed = parseSyslogCollector(value);
            EXPECT_TRUE(!parsed.collector && parsed.refusal == row.refusal) << value;
        }
    }
    EXPECT_TRUE(parseSyslogCollector(label63 + ".b").collector && parseSyslogCollector(name253 + ".").collector);
}

TEST(SyslogMessage, HeaderFieldsAndStructuredDataStandWhereACollectorLooks) {
    const SyslogField fields[] = {{"gateway", "192.0.2.1"}, {"mac", "02-FC-00-00-00-05"}};
    const Parsed p = parse(formatSyslogMessage(record(fields), kSyslogUdpMaxLength));
    EXPECT_EQ(p.header,
              (std::vector<std::string>{"<84>1", "2026-12-10T11:22:14.123Z", "ws-7", "XirARP", "4242", "CONFLICT"}));
    EXPECT_EQ(p.sd, R"([origin software="XirARP" swVersion="2.1"][meta sequenceId="9"])");
    EXPECT_EQ(p.msg, std::string(kBom) + "gateway=192.0.2.1 mac=02-FC-00-00-00-05");

    SyslogRecord r = record();
    const struct {
        SyslogSeverity severity;
        uint64_t utcMs;
        const char* pri;
        const char* timestamp;
    } rows[] = {
        {SyslogSeverity::Emergency, 0, "<80>1", "1970-01-01T00:00:00.000Z"},
        {SyslogSeverity::Debug, 1709251199999, "<87>1", "2024-02-29T23:59:59.999Z"},
        {SyslogSeverity::Notice, 4107542400000, "<85>1", "2100-03-01T00:00:00.000Z"},
        {static_cast<SyslogSeverity>(200), UINT64_MAX, "<87>1", "-"},
    };
    for (const auto& row : rows) {
        r.severity = row.severity, r.utcMs = row.utcMs;
        const Parsed q = parse(formatSyslogMessage(r, kSyslogUdpMaxLength));
        EXPECT_EQ(q.header[0], row.pri);
        EXPECT_EQ(q.header[1], row.timestamp);
    }
}

TEST(SyslogMessage, UntrustedTextsAreBoundedCleanedAndEscaped) {
    const std::string bad = "a\"b\\c]d e=f\n\xFF\xC0\xAF\xED\xA0\x80z";
    const SyslogField fields[] = {{"name", bad}, {"k y=\"", "plain\\"}, {"", ""}};
    const std::string longId(40, 'M');
    SyslogRecord r = record(fields);
    r.hostname = "ws 7\xC3\xA9";
    r.procId = "";
    r.msgId = longId;
    r.version = bad;
    r.sequenceId = 0;
    const std::string message = formatSyslogMessage(r, kSyslogUdpMaxLength);
    const Parsed p = parse(message);
    ASSERT_EQ(p.header.size(), 6u) << message;
    EXPECT_EQ(p.header[2], "ws_7__");
    EXPECT_EQ(p.header[4], "-");
    EXPECT_EQ(p.header[5], std::string(32, 'M'));
    std::string fffd7;  // a line feed, a stray byte, an overlong "/" and a surrogate: U+FFFD for each byte
    for (int i = 0; i < 7; ++i)
        fffd7 += "\xEF\xBF\xBD";
    // The version keeps its first 32 bytes; no meta element without a sequence id in range.
    EXPECT_EQ(p.sd, "[origin software=\"XirARP\" swVersion=\"a\\\"b\\\\c\\]d e=f" + fffd7 + "\"]");
    EXPECT_EQ(p.msg, std::string(kBom) + "name=\"a\\\"b\\\\c]d e=f" + fffd7 + "z\" k_y__=plain\\ _=");
}

TEST(SyslogMessage, TruncationCutsOnlyTheMessageAtACharacterBoundary) {
    std::string value;
    for (int i = 0; i < 400; ++i)
        value += "\xE7\xBD\x91\xF0\x9F\x94\x92";  // three and four bytes
    const SyslogField fields[] = {{"adapter", value}};
    const std::string whole = formatSyslogMessage(record(fields), 100000);
    const size_t head = whole.find(kBom) + kBom.size();
    for (size_t max : {kSyslogUdpMaxLength, kSyslogTcpMaxLength, head + 3, head + 8, head}) {
        const std::string cut = formatSyslogMessage(record(fields), max);
        EXPECT_TRUE(cut.size() <= max && cut.size() + 4 > max) << max;
        EXPECT_EQ(cut, whole.substr(0, cut.size()));
        EXPECT_NE(static_cast<unsigned char>(whole[cut.size()]) & 0xC0, 0x80) << max;  // the next character's lead
    }
    EXPECT_EQ(formatSyslogMessage(record(fields), head - 1), "");
}

TEST(SyslogMessage, FramingAndSequenceIds) {
    EXPECT_EQ(frameOctetCounted("<85>1 - - - - - -"), "17 <85>1 - - - - - -");
    EXPECT_EQ(frameOctetCounted(""), "0 ");
    EXPECT_EQ(nextSyslogSequenceId(0), 1u);
    EXPECT_EQ(nextSyslogSequenceId(41), 42u);
    EXPECT_EQ(nextSyslogSequenceId(kSyslogSequenceIdMax), 1u);
}

TEST(SyslogPolicy, BacklogDropsTheOldestAndCountsThem) {
    SyslogBacklog backlog(3);
    for (const char* m : {"1", "2", "3", "4", "5"})
        backlog.push(m);
    EXPECT_EQ(backlog.takeDropped(), 2u);
    EXPECT_EQ(backlog.takeDropped(), 0u);
    EXPECT_EQ(backlog.take(), "3");
    backlog.push("6");
    std::string order;
    while (!backlog.empty())
        order += backlog.take();
    EXPECT_EQ(order, "456");
    EXPECT_EQ(backlog.takeDropped(), 0u);
}

TEST(SyslogPolicy, RateCapHoldsBackPastTheMinutesAllowanceAndSaysHowMany) {
    SyslogRateCap cap(60);
    uint32_t now = 0xFFFFF000;  // the clock wraps in the middle
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(cap.admit(now), 0u);
    EXPECT_FALSE(cap.admit(now));
    EXPECT_FALSE(cap.admit(now += 999));
    EXPECT_EQ(cap.admit(now += 1), 2u);
    EXPECT_FALSE(cap.admit(now));
    now += 120000;  // a quiet spell refills one minute's allowance, not more
    for (int i = 0; i < 60; ++i)
        EXPECT_TRUE(cap.admit(now));
    EXPECT_FALSE(cap.admit(now));
}

TEST(SyslogPolicy, ReconnectWaitsDoubleToThirtySecondsAndStartAgainAfterASuccess) {
    ReconnectBackoff backoff;
    uint32_t now = 0xFFFFFF00;
    EXPECT_EQ(backoff.waitMs(now), 0u);
    std::vector<uint32_t> delays;
    for (int i = 0; i < 7; ++i) {
        backoff.failed(now);
        delays.push_back(backoff.delayMs());
        now += 500;
    }
    EXPECT_EQ(delays, (std::vector<uint32_t>{1000, 2000, 4000, 8000, 16000, 30000, 30000}));
    EXPECT_EQ(backoff.waitMs(now), 29500u);
    EXPECT_EQ(backoff.waitMs(now + 29500), 0u);
    backoff.succeeded();
    backoff.failed(now);
    EXPECT_EQ(backoff.delayMs(), 1000u);
}
