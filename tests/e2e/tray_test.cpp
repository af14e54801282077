// The notification-area menu, the unlock and the About box of the real program, driven as the shell and a
// user would drive them from another process.
#include <gtest/gtest.h>

#include "auth/password.h"
#include "config/client_config.h"
#include "steps/clean_settings.h"
#include "steps/program.h"
#include "steps/registry.h"
#include "steps/sandbox.h"
#include "steps/windows.h"

namespace {

const char* const kMainCaption = "XirARP Utility v0.4";
constexpr int kPasswordEntry = 1018;

std::string clientCopy(const Sandbox& sandbox, const std::string& password) {
    ArpSettings settings;
    settings.language = 0;
    settings.mode = kTokenClientBind;
    settings.pwd = PasswordDigest(password);
    settings.timer = 600;
    settings.gwmac = "00-11-22-33-44-55";
    settings.gwip = "192.168.1.1";
    std::string path = sandbox.copyProgram("XirARP-Client.exe");
    appendFileBytes(path, *formatClientConfig(settings));
    return path;
}

void setEntry(HWND dialog, int id, const wchar_t* text) {
    setControlText(GetDlgItem(dialog, id), text);
}

class TrayEndToEnd : public CleanSettingsTest {};

}  // namespace

TEST_F(TrayEndToEnd, AHiddenClientUnlocksFromTheIconMenuWithTheRightPasswordAndOpensTheAboutBox) {
    Sandbox sandbox("tray-unlock");
    RunningProgram program(clientCopy(sandbox, "secret"), sandbox.folder());
    DWORD processId = program.processId();
    HWND window = waitForDialog(processId, kMainCaption);
    ASSERT_TRUE(window);
    // Opened, applied and hidden to the notification area, locked: posted "Exit" commands and the close
    // command do not end it.
    ASSERT_TRUE(waitUntilHidden(window));
    clickButton(window, 1022);
    PostMessageW(window, WM_COMMAND, 32781, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(program.waitForExit(1000));
    EXPECT_FALSE(IsWindowVisible(window));

    ASSERT_TRUE(chooseFromIconMenu(window, processId)) << "the icon's menu did not open";
    HWND unlock = waitForDialog(processId, "UnLock");
    ASSERT_TRUE(unlock);
    EXPECT_FALSE(IsWindowVisible(window));

    setEntry(unlock, kPasswordEntry, L"Secret");
    clickButton(unlock, IDOK);
    MessageBoxSeen warning = waitForMessageBox(processId);
    ASSERT_TRUE(warning.window);
    EXPECT_EQ(warning.caption, "WARNING");
    EXPECT_EQ(warning.text, "Wrong Password ! Please input again !");
    clickButton(warning.window, IDOK);
    ASSERT_TRUE(waitUntilGone(warning.window));
    EXPECT_TRUE(IsWindowVisible(unlock));
    EXPECT_FALSE(IsWindowVisible(window));

    setEntry(unlock, kPasswordEntry, L"secret");
    clickButton(unlock, IDOK);
    ASSERT_TRUE(waitUntilVisible(window));
    EXPECT_FALSE(IsWindow(unlock));
    // Unlocked in a client copy: the language, "Uninstall" and "Exit" only. The window is shown first and
    // its controls follow the new lock state right after, one by one.
    EXPECT_TRUE(waitUntilTrue([&] {
        return IsWindowEnabled(GetDlgItem(window, 1026)) && IsWindowEnabled(GetDlgItem(window, 1025)) &&
               IsWindowEnabled(GetDlgItem(window, 1022));
    }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, 1015)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, 1001)));

    // The entry the window adds to its system menu.
    PostMessageW(window, WM_SYSCOMMAND, 16, 0);
    HWND about = waitForDialog(processId, "About XirARP Utility");
    ASSERT_TRUE(about);
    EXPECT_EQ(GetWindow(about, GW_OWNER), window);
    clickButton(about, IDOK);
    ASSERT_TRUE(waitUntilGone(about));

    clickButton(window, 1022);
    EXPECT_TRUE(program.waitForExit(10000));
}

TEST_F(TrayEndToEnd, TheMinimisedAdministratorHidesAndComesBackWithTheDefaultPassword) {
    Sandbox sandbox("tray-admin");
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    DWORD processId = program.processId();
    HWND window = waitForDialog(processId, kMainCaption);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntilVisible(window));

    // The title bar's minimise button, and the minimise a successful Apply posts.
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(waitUntilHidden(window));
    EXPECT_FALSE(IsIconic(window));

    ASSERT_TRUE(chooseFromIconMenu(window, processId)) << "the icon's menu did not open";
    HWND unlock = waitForDialog(processId, "UnLock");
    ASSERT_TRUE(unlock);
    setEntry(unlock, kPasswordEntry, L"mauve");
    clickButton(unlock, IDOK);
    ASSERT_TRUE(waitUntilVisible(window));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, 1015)));
    EXPECT_FALSE(hasMessageBox(processId));

    clickButton(window, 1022);
    EXPECT_TRUE(program.waitForExit(10000));
}
