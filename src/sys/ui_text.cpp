#include <windows.h>

#include "config/arp_settings.h"
#include "sys/text_encoding.h"
#include "sys/ui_text.h"

namespace {

// A string table resource holds its texts in blocks of 16, each text a count of UTF-16 units and the
// units themselves.
constexpr unsigned kTextsPerBlock = 16;
const LPCWSTR kStringTableType = MAKEINTRESOURCEW(6);  // RT_STRING in its wide form

}  // namespace

std::string uiText(unsigned id, int32_t language) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found =
        FindResourceExW(module, kStringTableType, MAKEINTRESOURCEW(id / kTextsPerBlock + 1), textLanguageId(language));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* units = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!units)
        return {};
    const size_t blockUnits = SizeofResource(module, found) / sizeof(WCHAR);
    size_t at = 0;
    for (unsigned index = 0; index < id % kTextsPerBlock; ++index) {
        if (at >= blockUnits)
            return {};
        at += 1 + units[at];
    }
    if (at >= blockUnits || units[at] > blockUnits - at - 1)
        return {};
    return wideToUtf8(std::wstring(units + at + 1, units[at]));
}
