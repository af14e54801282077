#include <windows.h>

#include <vector>

#include "sys/system_paths.h"
#include "sys/win_handles.h"

namespace {

// The longest path the wide functions accept, in characters.
constexpr DWORD kMaxWidePath = 32768;
constexpr const wchar_t* kShellFoldersKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring shellFolder(const wchar_t* name) {
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size > kMaxWidePath * sizeof(wchar_t))
        return {};
    // One spare character, so that a value stored without its terminator still ends inside the buffer.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    DWORD received = size;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &received) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return buffer.data();
}

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

std::wstring userDesktopFolder() {
    return shellFolder(L"Desktop");
}

std::wstring userStartupFolder() {
    return shellFolder(L"Startup");
}
