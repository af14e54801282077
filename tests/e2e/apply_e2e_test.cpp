// The administrator's road in the real program: fill the fields, Apply with a client package, confirm,
// then the binding; and the package it made, started as an end user would.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/client_config.h"
#include "res/resource.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "support/registry.h"
#include "support/user_folders.h"
#include "support/windows.h"

namespace {

const char* const kDigest = "0123456789abcdef0123456789abcdef";
// The stored "0A-B-22-33-44-55" goes to arp in the one form it documents.
const char* const kBindCommand = "arp -s 192.168.7.1 0A-0B-22-33-44-55\r\n";

// The window is found while it is still opening: what its opening makes may come a little later.
bool waitForText(const std::string& path, const std::string& text) {
    return waitUntilTrue([&] { return readFileBytes(path).find(text) != std::string::npos; });
}

// What the administrator's road below puts in a package.
ArpSettings packagedSettings(const char* token) {
    ArpSettings settings;
    settings.language = 0;  // this test prefix is an English system
    settings.mode = token;
    settings.pwd = kDigest;
    settings.timer = 2;
    settings.gwmac = "0A-0B-22-33-44-55";  // as typed below, in the one stored form
    settings.gwip = "192.168.7.1";
    return settings;
}

// Fills the window as an administrator would and presses Apply, with a package that asks.
void fillAndApply(HWND window) {
    sendToControl(GetDlgItem(window, IDC_GATEWAY_IP), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 7, 1));
    const wchar_t* const mac[] = {L"0A", L"B", L"22", L"33", L"44", L"55"};
    for (int i = 0; i < 6; ++i)
        setControlText(GetDlgItem(window, IDC_GATEWAY_MAC1 + i), mac[i]);
    setControlText(GetDlgItem(window, IDC_INTERVAL), L"2");
    sendToControl(GetDlgItem(window, IDC_GENERATE_CLIENT), BM_SETCHECK, BST_CHECKED, 0);
    sendToControl(GetDlgItem(window, IDC_ALLOW_SKIP_YES), BM_SETCHECK, BST_CHECKED, 0);
    sendToControl(GetDlgItem(window, IDC_ALLOW_SKIP_NO), BM_SETCHECK, BST_UNCHECKED, 0);
    clickButton(window, IDC_APPLY);
}

class ApplyRoad : public CleanSettingsTest {};

}  // namespace

TEST_F(ApplyRoad, TheAdministratorMakesAPackageAndBindsAndTheClientItMadeBindsToo) {
    Sandbox sandbox("apply-admin");
    const std::string exe = sandbox.copyProgram();
    const std::string desktop = sandbox.makeSubfolder("Desktop");
    const std::string startup = sandbox.makeSubfolder("Startup");
    UserFoldersRedirect folders(desktop, startup);
    writeSettingString("pwd", kDigest);
    writeSettingString("gwip", "192.168.7.1");  // the previous gateway, the same as the new one
    const std::string package = desktop + "\\XirARP-Client.exe";

    {
        RunningProgram program(exe, sandbox.folder());
        HWND window = waitForDialog(program.processId(), kMainCaption);
        ASSERT_TRUE(window);
        fillAndApply(window);
        MessageBoxSeen success = waitForMessageBox(program.processId());
        ASSERT_TRUE(success.window);
        EXPECT_EQ(success.caption, "Information");
        EXPECT_EQ(success.text, "Apply Setting Successfully !");
        EXPECT_TRUE(IsWindowVisible(window));

        // Everything is in place while the confirmation is open; the binding has not begun.
        EXPECT_EQ(readSettingDword("timer"), 2u);
        EXPECT_EQ(readSettingString("gwmac"), "0A-0B-22-33-44-55");
        EXPECT_EQ(readSettingString("gwip"), "192.168.7.1");
        EXPECT_TRUE(fileExists(startup + "\\XirARP.lnk"));
        const ArpSettings expected = packagedSettings(kTokenClientAsk);
        const std::string bytes = readFileBytes(package);
        ASSERT_GT(bytes.size(), kBaseImageSize);
        EXPECT_TRUE(bytes.compare(0, kBaseImageSize, readFileBytes(adminImagePath())) == 0);
        EXPECT_EQ(bytes.substr(kBaseImageSize), formatClientConfig(expected));
        // The previous gateway's entry goes even though the address stays the same.
        EXPECT_NE(sandbox.waitForRecorded("arp -d 192.168.7.1\r\n"), 0u);
        EXPECT_EQ(sandbox.countRecorded(kBindCommand), 0u);

        const DWORD confirmed = GetTickCount();
        clickButton(success.window, IDOK);
        EXPECT_TRUE(waitUntilHidden(window));
        const DWORD first = sandbox.waitForRecorded(kBindCommand);
        ASSERT_NE(first, 0u);
        const DWORD second = sandbox.waitForRecorded(kBindCommand, 2);
        ASSERT_NE(second, 0u);
        // About a second after the confirmation, then every two seconds (each stand-in takes a while to
        // start, so only the bounds are firm).
        EXPECT_GE(first - confirmed, 800u);
        EXPECT_LE(first - confirmed, patient(8000));
        EXPECT_GE(second - first, 1500u);
        EXPECT_LE(second - first, patient(8000));
        EXPECT_EQ(sandbox.countRecorded("arp -d 192.168.7.1\r\n"), 1u);
    }

    // The package on the desktop, started from there: it imports, asks, applies and binds, and keeps a
    // Startup shortcut of its own beside the administrator's.
    removeProgramSettings();
    const size_t bindingsBefore = sandbox.countRecorded(kBindCommand);
    RunningProgram client(package, desktop);
    MessageBoxSeen question = waitForMessageBox(client.processId());
    ASSERT_TRUE(question.window);
    EXPECT_EQ(question.caption, "XirARP-Client");
    clickButton(question.window, IDOK);
    HWND window = waitForDialog(client.processId(), kMainCaption);
    ASSERT_TRUE(window);
    EXPECT_TRUE(waitUntilHidden(window));
    EXPECT_EQ(readSettingString("gwmac"), "0A-0B-22-33-44-55");
    // The link names its target in the program's code page.
    EXPECT_TRUE(waitForText(startup + "\\XirARP-Client.lnk", package));
    EXPECT_TRUE(fileExists(startup + "\\XirARP.lnk"));
    EXPECT_NE(sandbox.waitForRecorded(kBindCommand, bindingsBefore + 1), 0u);
    EXPECT_EQ(sandbox.countRecorded("arp -d 192.168.7.1\r\n"), 1u);  // the administrator's alone
}

// A client copy on a desktop where someone dropped an arp.exe (and a ping.exe) of their own: the system's
// programs run, the planted ones never do.
TEST_F(ApplyRoad, ProgramsPlantedBesideAClientNeverRun) {
    Sandbox sandbox("planted");
    const std::string desktop = sandbox.makeSubfolder("Desktop");
    UserFoldersRedirect folders(desktop, sandbox.makeSubfolder("Startup"));
    const std::string client = desktop + "\\XirARP-Client.exe";
    ASSERT_TRUE(writeFileBytes(
        client, readFileBytes(adminImagePath()) + *formatClientConfig(packagedSettings(kTokenClientBind))));
    for (const char* planted : {"\\arp.exe", "\\ping.exe"})
        ASSERT_TRUE(CopyFileA((systemFolder() + planted).c_str(), (desktop + planted).c_str(), FALSE));

    RunningProgram program(client, desktop);
    EXPECT_NE(sandbox.waitForRecorded(kBindCommand), 0u);
    EXPECT_FALSE(fileExists(desktop + "\\commands.log"));
}

// An account whose folders lie outside the system's ANSI code page: the program finds itself, and its
// package and logon shortcut land where the shell says.
TEST_F(ApplyRoad, FoldersOutsideTheCodePageHoldTheProgramItsPackageAndItsShortcut) {
    Sandbox sandbox("wide-folders");
    const std::string home = sandbox.makeSubfolder("张三");
    const std::string desktop = sandbox.makeSubfolder("张三\\桌面");
    const std::string startup = sandbox.makeSubfolder("张三\\启动");
    UserFoldersRedirect folders(desktop, startup);
    writeSettingString("pwd", kDigest);
    const std::string exe = home + "\\XirARP.exe";
    ASSERT_TRUE(writeFileBytes(exe, readFileBytes(adminImagePath())));

    RunningProgram program(exe, home);
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    fillAndApply(window);
    MessageBoxSeen success = waitForMessageBox(program.processId());
    ASSERT_TRUE(success.window);
    EXPECT_EQ(success.text, "Apply Setting Successfully !");
    const std::string bytes = readFileBytes(desktop + "\\XirARP-Client.exe");
    ASSERT_GT(bytes.size(), kBaseImageSize);
    EXPECT_EQ(bytes.substr(kBaseImageSize), formatClientConfig(packagedSettings(kTokenClientAsk)));
    EXPECT_TRUE(fileExists(startup + "\\XirARP.lnk"));
    clickButton(success.window, IDOK);
}
