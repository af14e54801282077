#include "alert/syslog_outlet_win.h"

#include <utility>
#include <vector>

#include "alert/syslog_collector.h"
#include "sys/seams.h"

namespace {

constexpr uint32_t kStatusPeriodMs = 3600000;

// The host's address on the interface that routes to the gateway, as the adapter list gives it.
std::string hostAddressOn(uint32_t interfaceIndex) {
    std::vector<AdapterInfo> adapters;
    if (!seams().readAdapters(adapters))
        return {};
    for (const AdapterInfo& adapter : adapters)
        if (adapter.index == interfaceIndex && !isUnsetAddress(adapter.ipAddress))
            return adapter.ipAddress;
    return {};
}

struct ProgramEventKind {
    ServiceEvent event;
    SyslogSeverity severity;
    const char* msgId;
};

constexpr ProgramEventKind kProgramEvents[] = {
    {kEventStarted, SyslogSeverity::Informational, "SERVICE_START"},
    {kEventStopped, SyslogSeverity::Notice, "SERVICE_STOP"},
    {kEventSettingsInvalid, SyslogSeverity::Warning, "SETTINGS_INVALID"},
};

}  // namespace

bool SyslogOutlet::use(const std::string& value) {
    const SyslogCollectorParse parsed = parseSyslogCollector(value);
    // The same value keeps its sender, or its failure to start: nothing is retried at every interval.
    if (value != value_) {
        stop();
        value_ = value;
        statusAtMs_.reset();
        auto sender = std::make_unique<SyslogSender>();
        if (parsed.collector && sender->start(*parsed.collector, kSoftwareVersion))
            sender_ = std::move(sender);
    }
    return parsed.collector || parsed.refusal == SyslogRefusal::None;
}

void SyslogOutlet::stop() {
    sender_.reset();
    value_.clear();  // the next use starts afresh, whatever the value
}

void SyslogOutlet::tell(const GatewayNews& news, bool) {
    last_ = news;
    if (const NewsKind* kind = newsKind(news.state))
        send(kind->severity, kind->msgId, &news, nullptr);
}

void SyslogOutlet::tellEvent(const GuardEvent& event) {
    for (const ProgramEventKind& kind : kProgramEvents)
        if (kind.event == event.id)
            send(kind.severity, kind.msgId, last_ ? &*last_ : nullptr,
                 event.inserts.empty() ? nullptr : event.inserts[0].c_str());
}

void SyslogOutlet::tick(uint32_t nowMs) {
    if (!sender_ || (statusAtMs_ && nowMs - *statusAtMs_ < kStatusPeriodMs))
        return;
    statusAtMs_ = nowMs;
    send(SyslogSeverity::Informational, "STATUS", last_ ? &*last_ : nullptr, nullptr);
}

void SyslogOutlet::send(SyslogSeverity severity, const char* msgId, const GatewayNews* news, const char* detail) {
    if (!sender_)
        return;
    std::vector<std::pair<std::string, std::string>> pairs;
    if (news)
        pairs = newsFields(*news, hostAddressOn(news->interfaceIndex));
    if (detail)
        pairs.emplace_back("value", detail);
    std::vector<SyslogField> fields;
    for (const auto& [key, value] : pairs)
        fields.push_back({key, value});
    sender_->send(severity, msgId, fields);
}
