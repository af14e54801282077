#include <windows.h>

#include <vector>

#include "sys/shell_folders.h"
#include "sys/win_handles.h"

namespace {

constexpr const wchar_t* kShellFoldersKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The longest path the wide functions accept, in bytes.
constexpr DWORD kMaxPathBytes = 32768 * sizeof(wchar_t);

std::wstring shellFolder(const wchar_t* name) {
    UniqueHKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ ||
        size > kMaxPathBytes)
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

std::wstring userDesktopFolder() {
    return shellFolder(L"Desktop");
}

std::wstring userStartupFolder() {
    return shellFolder(L"Startup");
}
