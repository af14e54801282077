#include "service/event_log.h"

#include <string>
#include <vector>

#include "sys/text_encoding.h"

namespace {

WORD eventLogType(ServiceEvent id) {
    switch (guardEventType(id)) {
        case GuardEventType::Error:
            return EVENTLOG_ERROR_TYPE;
        case GuardEventType::Warning:
            return EVENTLOG_WARNING_TYPE;
        case GuardEventType::Information:
            break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

}  // namespace

EventLogWriter::EventLogWriter() : source_(RegisterEventSourceW(nullptr, kEventSourceName)) {}

EventLogWriter::~EventLogWriter() {
    if (source_)
        DeregisterEventSource(source_);
}

void EventLogWriter::tell(const GuardEvent& event) {
    if (!source_)
        return;
    std::vector<std::wstring> texts;
    for (const std::string& insert : event.inserts)
        texts.push_back(utf8ToWide(insert));
    std::vector<LPCWSTR> strings;
    for (const std::wstring& text : texts)
        strings.push_back(text.c_str());
    ReportEventW(source_, eventLogType(event.id), 0, event.id, nullptr, static_cast<WORD>(strings.size()), 0,
                 strings.empty() ? nullptr : strings.data(), nullptr);
}
