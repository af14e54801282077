#include "service/event_log.h"

#include <string>
#include <vector>

#include "sys/text_encoding.h"
#include "sys/win_handles.h"

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

// The user of this process's token, as a SID's bytes; empty when it cannot be read (the entry then has none).
std::vector<BYTE> processUser() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    const UniqueKernelHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    if (!IsValidSid(sid))
        return {};
    const BYTE* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

void report(HANDLE source, WORD type, DWORD id, const std::vector<BYTE>& user, const std::vector<std::wstring>& texts) {
    std::vector<LPCWSTR> strings;
    for (const std::wstring& text : texts)
        strings.push_back(text.c_str());
    const PSID sid = user.empty() ? nullptr : const_cast<BYTE*>(user.data());
    ReportEventW(source, type, 0, id, sid, static_cast<WORD>(strings.size()), 0,
                 strings.empty() ? nullptr : strings.data(), nullptr);
}

}  // namespace

EventLogWriter::EventLogWriter() : source_(RegisterEventSourceW(nullptr, kEventSourceName)), user_(processUser()) {}

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
    report(source_, eventLogType(event.id), event.id, user_, texts);
}

void reportSetupFailure(const wchar_t* command, const wchar_t* step) {
    const HANDLE source = RegisterEventSourceW(nullptr, kEventSourceName);
    if (!source)
        return;
    report(source, EVENTLOG_ERROR_TYPE, kEventSetupFailed, processUser(), {command, step});
    DeregisterEventSource(source);
}
