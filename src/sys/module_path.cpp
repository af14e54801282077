#include <windows.h>

#include <vector>

#include "sys/module_path.h"

namespace {
// The longest path the wide functions accept.
constexpr DWORD kMaxWidePath = 32768;
}  // namespace

std::wstring ownExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        if (buffer.size() >= kMaxWidePath)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring fileStem(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/:");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring applicationName() {
    return fileStem(ownExecutablePath());
}

std::wstring currentFolder() {
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0 || needed > kMaxWidePath)
        return {};
    std::vector<wchar_t> buffer(needed);
    DWORD length = GetCurrentDirectoryW(needed, buffer.data());
    if (length == 0 || length >= needed)
        return {};
    return std::wstring(buffer.data(), length);
}
