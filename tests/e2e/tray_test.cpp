// The notification-area menu, the unlock and the About box of the real program, driven as the shell and a
// user would drive them from another process.
#include <gtest/gtest.h>

#include "auth/password.h"
#include "config/client_config.h"
#include "res/resource.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "support/registry.h"
#include "support/windows.h"
#include "ui/main_dlg.h"

namespace {

std::string clientCopy(const Sandbox& sandbox, const std::string& password) {
    ArpSettings settings = clientSettings();
    settings.pwd = PasswordDigest(password);
    return sandbox.copyClient(*formatClientConfig(settings));
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
    clickButton(window, IDC_EXIT);
    PostMessageW(window, WM_COMMAND, ID_TRAY_EXIT, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(program.waitForExit(1000));
    EXPECT_FALSE(IsWindowVisible(window));

    ASSERT_TRUE(chooseFromIconMenu(window, processId)) << "the icon's menu did not open";
    HWND unlock = waitForDialog(processId, kUnlockDialogCaption);
    ASSERT_TRUE(unlock);
    EXPECT_FALSE(IsWindowVisible(window));

    setEntry(unlock, IDC_UNLOCK_PASSWORD, L"Secret");
    clickButton(unlock, IDOK);
    answerMessageBox(processId, "WARNING", "Wrong Password ! Please input again !");
    EXPECT_TRUE(IsWindowVisible(unlock));
    EXPECT_FALSE(IsWindowVisible(window));

    setEntry(unlock, IDC_UNLOCK_PASSWORD, L"secret");
    clickButton(unlock, IDOK);
    ASSERT_TRUE(waitUntilVisible(window));
    EXPECT_FALSE(IsWindow(unlock));
    // Unlocked in a client copy: the language, "Uninstall" and "Exit" only. The window is shown first and
    // its controls follow the new lock state right after, one by one.
    EXPECT_TRUE(waitUntilTrue([&] {
        return IsWindowEnabled(GetDlgItem(window, IDC_LANGUAGE)) &&
               IsWindowEnabled(GetDlgItem(window, IDC_UNINSTALL)) && IsWindowEnabled(GetDlgItem(window, IDC_EXIT));
    }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_APPLY)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_GATEWAY_IP)));

    // The entry the window adds to its system menu.
    PostMessageW(window, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = waitForDialog(processId, kAboutBoxCaption);
    ASSERT_TRUE(about);
    EXPECT_EQ(GetWindow(about, GW_OWNER), window);
    clickButton(about, IDOK);
    ASSERT_TRUE(waitUntilGone(about));

    clickButton(window, IDC_EXIT);
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
    HWND unlock = waitForDialog(processId, kUnlockDialogCaption);
    ASSERT_TRUE(unlock);
    setEntry(unlock, IDC_UNLOCK_PASSWORD, L"mauve");
    clickButton(unlock, IDOK);
    ASSERT_TRUE(waitUntilVisible(window));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_APPLY)));
    EXPECT_FALSE(hasMessageBox(processId));

    clickButton(window, IDC_EXIT);
    EXPECT_TRUE(program.waitForExit(10000));
}
