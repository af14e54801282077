#include <windows.h>

#include "alert/syslog_collector.h"
#include "config/arp_settings.h"
#include "config/client_config.h"
#include "config/client_config_store.h"
#include "config/reg_value.h"
#include "net/address_text.h"
#include "res/resource.h"
#include "sys/seams.h"
#include "sys/ui_text.h"
#include "sys/win_handles.h"

namespace {
// English in every language, once for each key the text lacks.
constexpr const char* kParseConfigFailed = "parse configuration fail!!";
}  // namespace

ClientConfigImport importClientConfig(const std::string& tail, uint16_t systemLangId, const std::string& caption) {
    ClientConfigImport result;
    result.language = systemUiLanguage(systemLangId);
    ParsedClientConfig parsed = parseClientConfig(tail.data(), tail.size());
    result.headerFound = parsed.headerFound;
    if (!parsed.headerFound)
        return result;

    for (int index = 0; index < kRequiredConfigKeyCount; ++index) {
        if (!parsed.has(static_cast<ConfigKey>(index)))
            seams().messageBox(nullptr, kParseConfigFailed, caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }

    // The MAC is read once, here. A package made by an older version from an unanswered gateway pins a null MAC
    // and cuts the user off; one whose MAC cannot be read (hand-edited, damaged) would pair its gateway with the
    // machine's older MAC. Neither is taken at all, and what the machine had stays in force. The copy still runs
    // as the kind it says.
    // A collector the sender would refuse is a damaged or hand-made package too, refused the same way.
    const std::optional<MacBytes> packagedMac = parsed.gwmac ? parseMacBytes(*parsed.gwmac) : std::nullopt;
    const bool macRefused = parsed.gwmac && (!packagedMac || !isHostMac(*packagedMac));
    const bool syslogRefused = parsed.syslog && parseSyslogCollector(*parsed.syslog).refusal != SyslogRefusal::None;
    if (macRefused || syslogRefused) {
        if (macRefused && packagedMac)
            seams().messageBox(nullptr, uiText(IDS_GATEWAY_MAC_NOT_HOST, result.language).c_str(), kWarningCaption,
                               MB_OK | MB_ICONEXCLAMATION);
        else
            seams().messageBox(nullptr, kParseConfigFailed, caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
        if (parsed.mode)
            result.modeToken = *parsed.mode;
        return result;
    }

    // The text's language only has to be present: the system's language is what a client uses.
    if (parsed.language)
        storeNumber(kLanguageValuePath, result.language);
    if (parsed.mode)
        result.modeToken = *parsed.mode;
    if (parsed.pwd)
        storeText(kPwdValuePath, *parsed.pwd);
    if (parsed.timer)
        storeNumber(kTimerValuePath, *parsed.timer);
    if (parsed.gwmac)
        storeText(kGwmacValuePath, *parsed.gwmac);
    if (parsed.gwip)
        storeText(kGwipValuePath, *parsed.gwip);
    // Always stored, and the collector always replaced (none removes it), so that a choice left behind by an
    // earlier package cannot outlive this one.
    storeNumber(kServiceValuePath, parsed.service.value_or(0));
    CRegStringValue syslog(kSyslogValuePath, "");
    if (parsed.syslog && !parsed.syslog->empty())
        syslog.store(*parsed.syslog);
    else
        syslog.removeValue();
    return result;
}

bool appendClientConfig(const std::wstring& path, const std::string& text) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}
