// For the whole end-to-end run, the user's Desktop and Startup folders are folders of the sandbox: a
// client copy's Apply writes its logon shortcut, and Wine starts whatever the Startup folder holds
// whenever its server starts anew, which would leave a copy running into later runs.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "steps/sandbox.h"
#include "steps/user_folders.h"

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

class SandboxUserFolders : public testing::Environment {
public:
    void SetUp() override {
        endCopiesLeftBySandbox(sandboxRoot() + "\\");
        Sandbox folders("user-folders");
        redirect_ = std::make_unique<UserFoldersRedirect>(folders.makeSubfolder("Desktop"),
                                                          folders.makeSubfolder("Startup"));
    }
    // Emptied as well as given back: should the folders given back be these very ones (a run was
    // interrupted before it could restore the user's), nothing is left for Wine to start.
    void TearDown() override {
        redirect_.reset();
        Sandbox emptied("user-folders");
    }

private:
    std::unique_ptr<UserFoldersRedirect> redirect_;
};

testing::Environment* const g_sandboxUserFolders = testing::AddGlobalTestEnvironment(new SandboxUserFolders);

}  // namespace
