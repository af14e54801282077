#pragma once
#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "support/files.h"

// Points the user's Desktop and Startup folders (UTF-8 paths) at folders of a test for the life of the
// object and puts the previous values back afterwards. Both registry entries are set: the shell rebuilds
// "Shell Folders" from "User Shell Folders" whenever it looks a folder up (creating a shell link does).
class UserFoldersRedirect {
  public:
    UserFoldersRedirect(const std::string& desktop, const std::string& startup) {
        const std::wstring folders[] = {widePath(desktop), widePath(startup)};
        for (int name = 0; name < 2; ++name) {
            for (int key = 0; key < 2; ++key) {
                Saved& saved = saved_[name][key];
                DWORD size = 0;
                saved.present = SHGetValueW(HKEY_CURRENT_USER, kKeys[key], kNames[name], &saved.type, nullptr, &size) ==
                                ERROR_SUCCESS;
                if (saved.present) {
                    saved.data.resize(size);
                    saved.present = SHGetValueW(HKEY_CURRENT_USER, kKeys[key], kNames[name], &saved.type,
                                                saved.data.data(), &size) == ERROR_SUCCESS;
                }
                SHSetValueW(HKEY_CURRENT_USER, kKeys[key], kNames[name], REG_SZ, folders[name].c_str(),
                            static_cast<DWORD>((folders[name].size() + 1) * sizeof(wchar_t)));
            }
        }
    }
    ~UserFoldersRedirect() {
        for (int name = 0; name < 2; ++name) {
            for (int key = 0; key < 2; ++key) {
                const Saved& saved = saved_[name][key];
                if (saved.present)
                    SHSetValueW(HKEY_CURRENT_USER, kKeys[key], kNames[name], saved.type, saved.data.data(),
                                static_cast<DWORD>(saved.data.size()));
                else
                    SHDeleteValueW(HKEY_CURRENT_USER, kKeys[key], kNames[name]);
            }
        }
    }
    UserFoldersRedirect(const UserFoldersRedirect&) = delete;
    UserFoldersRedirect& operator=(const UserFoldersRedirect&) = delete;

    // Removes "Desktop" or "Startup" from both entries, as on an account where the shell publishes none.
    static void forget(const char* name) {
        for (const wchar_t* key : kKeys)
            SHDeleteValueW(HKEY_CURRENT_USER, key, widePath(name).c_str());
    }

  private:
    static constexpr const wchar_t* kKeys[2] = {
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"};
    static constexpr const wchar_t* kNames[2] = {L"Desktop", L"Startup"};

    struct Saved {
        bool present = false;
        DWORD type = REG_SZ;
        std::vector<BYTE> data;
    };
    Saved saved_[2][2];
};
