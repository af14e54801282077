// Uninstall in the real program: the recorded "arp -d", the Startup shortcut and the registry key.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <commctrl.h>

#include "auth/password.h"
#include "config/client_config.h"
#include "res/resource.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "support/registry.h"
#include "support/user_folders.h"
#include "support/windows.h"

namespace {

const char* const kRemoveCommand = "arp -d 192.168.1.1\r\n";

void storeSettingsAsApplyWould() {
    writeSettingDword("timer", 45);
    writeSettingString("gwmac", "00-11-22-33-44-55");
    writeSettingString("gwip", "192.168.1.1");
    SHSetValueA(HKEY_CURRENT_USER, "Software\\Xir\\Other", "x", REG_SZ, "y", 2);
}

// Clicks Uninstall and confirms its message, which must be the success message.
void uninstallThroughButton(HWND window, DWORD processId) {
    clickButton(window, IDC_UNINSTALL);
    answerMessageBox(processId, "Information", "Remove Setting Successfully !");
}

// Applies the window's fields with the gateway 192.168.1.1 and no client package, and confirms the
// success message.
void applyThroughButton(HWND window, DWORD processId) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(GetDlgItem(window, IDC_GATEWAY_IP), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 1),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    SendMessageTimeoutW(GetDlgItem(window, IDC_GENERATE_CLIENT), BM_SETCHECK, BST_UNCHECKED, 0, SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    clickButton(window, IDC_APPLY);
    answerMessageBox(processId, nullptr, "Apply Setting Successfully !");
}

class UninstallE2e : public CleanSettingsTest {};

}  // namespace

TEST_F(UninstallE2e, RemovesTheEntryTheShortcutAndTheKeyAndTheWindowStays) {
    Sandbox sandbox("uninstall");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    std::string shortcut = sandbox.path("Startup\\XirARP.lnk");
    ASSERT_TRUE(writeFileBytes(shortcut, "L"));
    storeSettingsAsApplyWould();

    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntilVisible(window));  // the fields are filled before the window shows
    std::string macByte = windowText(GetDlgItem(window, IDC_GATEWAY_MAC1));
    ASSERT_EQ(macByte, "00");

    uninstallThroughButton(window, program.processId());
    EXPECT_NE(sandbox.waitForRecorded(kRemoveCommand), 0u);
    EXPECT_FALSE(fileExists(shortcut));
    EXPECT_FALSE(registryKeyExists(kTestVendorKey));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_GATEWAY_MAC1)), macByte);
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_INTERVAL)), "45");

    // Once more: nothing is left, the message comes all the same.
    uninstallThroughButton(window, program.processId());
    EXPECT_TRUE(program.running());
    clickButton(window, IDC_EXIT);
    EXPECT_TRUE(program.waitForExit(10000));
}

// The hidden client runs Uninstall only once unlocked with its password.
TEST_F(UninstallE2e, AClientCopyRemovesItsOwnShortcutAndNotTheAdministrators) {
    Sandbox sandbox("uninstall-client");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    std::string adminShortcut = sandbox.path("Startup\\XirARP.lnk");
    std::string clientShortcut = sandbox.path("Startup\\XirARP-Client.lnk");
    ASSERT_TRUE(writeFileBytes(adminShortcut, "L"));
    ASSERT_TRUE(writeFileBytes(clientShortcut, "L"));

    ArpSettings settings = clientSettings();
    settings.pwd = PasswordDigest("secret");
    settings.timer = 45;
    std::string exe = sandbox.copyClient(*formatClientConfig(settings));

    RunningProgram program(exe, sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntilHidden(window));
    clickButton(window, IDC_UNINSTALL);  // locked: refused, whoever posts it
    EXPECT_FALSE(waitForMessageBox(program.processId(), 1000).window);
    EXPECT_TRUE(fileExists(clientShortcut));
    ASSERT_TRUE(unlockFromIconMenu(window, program.processId(), L"secret"));
    uninstallThroughButton(window, program.processId());
    EXPECT_NE(sandbox.waitForRecorded(kRemoveCommand), 0u);
    EXPECT_FALSE(fileExists(clientShortcut));
    EXPECT_TRUE(fileExists(adminShortcut));
    EXPECT_FALSE(registryKeyExists(kTestVendorKey));
}

// After Apply the window hides in the notification area, locked; the default password brings it back.
TEST_F(UninstallE2e, ApplyThenUninstallThenApplyAgainPutsEverythingBack) {
    Sandbox sandbox("apply-uninstall-apply");
    UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
    std::string shortcut = sandbox.path("Startup\\XirARP.lnk");
    writeSettingString("gwmac", "00-11-22-33-44-55");  // no gateway lookup at opening

    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntilVisible(window));
    applyThroughButton(window, program.processId());
    ASSERT_TRUE(fileExists(shortcut));
    ASSERT_EQ(readSettingString("gwip"), "192.168.1.1");

    ASSERT_TRUE(unlockFromIconMenu(window, program.processId(), L"mauve"));
    uninstallThroughButton(window, program.processId());
    EXPECT_NE(sandbox.waitForRecorded(kRemoveCommand), 0u);
    EXPECT_FALSE(fileExists(shortcut));
    EXPECT_FALSE(registryKeyExists(kTestVendorKey));
    EXPECT_TRUE(IsWindow(window));

    applyThroughButton(window, program.processId());
    EXPECT_TRUE(fileExists(shortcut));
    EXPECT_EQ(readSettingDword("timer"), 60u);
    EXPECT_EQ(readSettingString("gwmac"), "00-11-22-33-44-55");
    EXPECT_EQ(readSettingString("gwip"), "192.168.1.1");
    EXPECT_FALSE(readSettingString("pwd"));  // Apply brings back only what it stores itself
    EXPECT_TRUE(program.running());
}
