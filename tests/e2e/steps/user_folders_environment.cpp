// For the whole end-to-end run, the user's Desktop and Startup folders are folders of the sandbox: a
// client copy's Apply writes its logon shortcut, and Wine starts whatever the Startup folder holds
// whenever its server starts anew, which would leave a copy running into later runs.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "steps/sandbox.h"
#include "support/user_folders.h"

namespace {

// Ends the copies of the program under test that run from the sandbox: an interrupted earlier run
// may have left its logon shortcut behind, and Wine started it with the server. Each would hold the
// single-instance mutex and refuse every copy this run starts.
void endCopiesLeftBySandbox(const std::string& sandboxRoot) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                     entry.th32ProcessID);
        if (!process)
            continue;
        char image[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (QueryFullProcessImageNameA(process, 0, image, &length) &&
            _strnicmp(image, sandboxRoot.c_str(), sandboxRoot.size()) == 0) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}

void deleteFilesIn(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Values that still name a sandbox folder after the user's were given back come from a run that was
// interrupted before it could give them back: removed, the shell goes back to its own defaults.
void forgetFoldersInSandbox(const std::string& sandboxRoot) {
    for (const char* key : {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"}) {
        for (const char* name : {"Desktop", "Startup"}) {
            char value[MAX_PATH] = {};
            DWORD size = sizeof value - 1;
            if (SHGetValueA(HKEY_CURRENT_USER, key, name, nullptr, value, &size) == ERROR_SUCCESS &&
                _strnicmp(value, sandboxRoot.c_str(), sandboxRoot.size()) == 0)
                SHDeleteValueA(HKEY_CURRENT_USER, key, name);
        }
    }
}

class SandboxUserFolders : public testing::Environment {
public:
    void SetUp() override {
        endCopiesLeftBySandbox(sandboxRoot() + "\\");
        Sandbox folders("user-folders");
        desktop_ = folders.makeSubfolder("Desktop");
        startup_ = folders.makeSubfolder("Startup");
        redirect_ = std::make_unique<UserFoldersRedirect>(desktop_, startup_);
    }
    // Nothing is left in the sandbox's Startup folder for Wine to start, whatever the registry names.
    void TearDown() override {
        redirect_.reset();
        forgetFoldersInSandbox(sandboxRoot() + "\\");
        deleteFilesIn(startup_);
        deleteFilesIn(desktop_);
    }

private:
    std::string desktop_;
    std::string startup_;
    std::unique_ptr<UserFoldersRedirect> redirect_;
};

testing::Environment* const g_sandboxUserFolders = testing::AddGlobalTestEnvironment(new SandboxUserFolders);

}  // namespace
