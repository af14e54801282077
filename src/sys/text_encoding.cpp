#include <windows.h>

#include "sys/text_encoding.h"

namespace {

std::wstring toWide(UINT codePage, const std::string& text) {
    if (text.empty())
        return {};
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string fromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty())
        return {};
    int length =
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr, nullptr);
    return text;
}

// UTF-8 as the ANSI code page (a Windows 10 option) holds every character and takes neither the flag nor the
// default character's report: the calls would fail.
bool ansiIsUtf8() {
    return GetACP() == CP_UTF8;
}

}  // namespace

std::wstring utf8ToWide(const std::string& utf8) {
    return toWide(CP_UTF8, utf8);
}

std::string wideToUtf8(const std::wstring& wide) {
    return fromWide(CP_UTF8, wide);
}

std::wstring ansiToWide(const std::string& ansi) {
    return toWide(CP_ACP, ansi);
}

std::string wideToAnsi(const std::wstring& wide) {
    return fromWide(CP_ACP, wide);
}

bool fitsAnsiCodePage(const std::wstring& wide) {
    if (wide.empty())
        return true;
    if (!ansiIsUtf8()) {
        BOOL usedDefault = FALSE;
        const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                               nullptr, 0, nullptr, &usedDefault);
        if (length <= 0 || usedDefault)
            return false;
    }
    // The way back as well: a system that maps without telling is caught by the round trip.
    return ansiToWide(wideToAnsi(wide)) == wide;
}

bool needsAnsiDefaultChar(const std::wstring& wide) {
    if (wide.empty() || ansiIsUtf8())
        return false;
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, &usedDefault);
    return length <= 0 || usedDefault;
}
