#pragma once
#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

// Points the user's Desktop and Startup folders at folders of a test for the life of the object and puts
// the previous values back afterwards. Both registry entries are set: the shell rebuilds "Shell Folders"
// from "User Shell Folders" whenever it looks a folder up (creating a shell link does). Header only: the
// in-process tests use it too.
class UserFoldersRedirect {
  public:
    UserFoldersRedirect(const std::string& desktop, const std::string& startup) {
        const std::string* folders[] = {&desktop, &startup};
        for (int name = 0; name < 2; ++name) {
            for (int key = 0; key < 2; ++key) {
                Saved& saved = saved_[name][key];
                DWORD size = 0;
                saved.present = SHGetValueA(HKEY_CURRENT_USER, kKeys[key], kNames[name], &saved.type, nullptr, &size) ==
                                ERROR_SUCCESS;
                if (saved.present) {
                    saved.data.resize(size);
                    saved.present = SHGetValueA(HKEY_CURRENT_USER, kKeys[key], kNames[name], &saved.type,
                                                saved.data.data(), &size) == ERROR_SUCCESS;
                }
                SHSetValueA(HKEY_CURRENT_USER, kKeys[key], kNames[name], REG_SZ, folders[name]->c_str(),
                            static_cast<DWORD>(folders[name]->size() + 1));
            }
        }
    }
    ~UserFoldersRedirect() {
        for (int name = 0; name < 2; ++name) {
            for (int key = 0; key < 2; ++key) {
                const Saved& saved = saved_[name][key];
                if (saved.present)
                    SHSetValueA(HKEY_CURRENT_USER, kKeys[key], kNames[name], saved.type, saved.data.data(),
                                static_cast<DWORD>(saved.data.size()));
                else
                    SHDeleteValueA(HKEY_CURRENT_USER, kKeys[key], kNames[name]);
            }
        }
    }
    UserFoldersRedirect(const UserFoldersRedirect&) = delete;
    UserFoldersRedirect& operator=(const UserFoldersRedirect&) = delete;

    // Removes "Desktop" or "Startup" from both entries, as on an account where the shell publishes none.
    static void forget(const char* name) {
        for (const char* key : kKeys)
            SHDeleteValueA(HKEY_CURRENT_USER, key, name);
    }

  private:
    static constexpr const char* kKeys[2] = {
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"};
    static constexpr const char* kNames[2] = {"Desktop", "Startup"};

    struct Saved {
        bool present = false;
        DWORD type = REG_SZ;
        std::vector<char> data;
    };
    Saved saved_[2][2];
};
