// For the whole end-to-end run, the user's Desktop and Startup folders are folders of the sandbox: a
// client copy's Apply writes its logon shortcut, and Wine starts whatever the real Startup folder holds
// whenever its server starts anew, which would leave a copy running into later runs.
#include <gtest/gtest.h>

#include <memory>

#include "steps/sandbox.h"
#include "steps/user_folders.h"

namespace {

class SandboxUserFolders : public testing::Environment {
public:
    void SetUp() override {
        Sandbox folders("user-folders");
        redirect_ = std::make_unique<UserFoldersRedirect>(folders.makeSubfolder("Desktop"),
                                                          folders.makeSubfolder("Startup"));
    }
    void TearDown() override { redirect_.reset(); }

private:
    std::unique_ptr<UserFoldersRedirect> redirect_;
};

testing::Environment* const g_sandboxUserFolders = testing::AddGlobalTestEnvironment(new SandboxUserFolders);

}  // namespace
