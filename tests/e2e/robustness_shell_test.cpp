// The shell restarting under the running program: Explorer broadcasts "TaskbarCreated" and every program
// must add its notification icon again. Here the icon is first taken away from outside, as a restarted
// shell has forgotten it, and must be back after the broadcast. The client's folder, one its user can write,
// also holds a planted iphlpapi.dll, which must never load.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "auth/password.h"
#include "config/client_config.h"
#include "robustness_support.h"
#include "steps/sandbox.h"
#include "steps/service.h"
#include "support/files.h"
#include "support/user_folders.h"
#include "sys/ui_text.h"
#include "support/registry.h"

using namespace robustness;

namespace {

constexpr UINT kIconId = 1;

NOTIFYICONDATAW iconOf(HWND window) {
    NOTIFYICONDATAW record = {};
    record.cbSize = sizeof record;
    record.hWnd = window;
    record.uID = kIconId;
    return record;
}

// The shell knows the icon when it accepts a change to it that changes nothing.
bool shellKnowsIcon(HWND window) {
    NOTIFYICONDATAW record = iconOf(window);
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

void forgetIcon(HWND window) {
    NOTIFYICONDATAW record = iconOf(window);
    Shell_NotifyIconW(NIM_DELETE, &record);
}

bool waitForIcon(HWND window) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50))
        if (shellKnowsIcon(window))
            return true;
    return false;
}

void broadcastTaskbarCreated() {
    UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_NE(message, 0u);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 5000, &result);
}

// Takes the icon away, announces a new taskbar twice (a shell may do so more than once) and expects one
// icon back, still working: its menu opens.
void expectIconRestored(const RunningProgram& program, HWND window, const std::string& what) {
    ASSERT_TRUE(waitForIcon(window)) << what << ": the shell does not know the program's icon to begin with";
    forgetIcon(window);
    ASSERT_FALSE(shellKnowsIcon(window)) << what << ": the icon could not be taken away";
    broadcastTaskbarCreated();
    broadcastTaskbarCreated();
    EXPECT_TRUE(waitForIcon(window)) << what << ": no icon after \"TaskbarCreated\"";
    expectNoCrash(program, what);
    EXPECT_TRUE(program.running()) << what;
    EXPECT_TRUE(answers(window)) << what;
    // The icon still leads to the window: its menu opens and its first item is chosen.
    ASSERT_TRUE(chooseFromIconMenu(window, program.processId(), 0)) << what << ": the icon's menu did not open";
}

class RobustnessShell : public CleanSettingsTest {};

// No service and no image in Program Files, whatever an earlier round or case left. The image goes only once the
// stopped service's process has ended: till then it holds the file, which would stay for the next round.
testing::AssertionResult noServiceNorImage(const char* image) {
    if (!removeService())
        return testing::AssertionFailure() << "the service of an earlier round did not go, or its process did not end";
    DWORD error = 0;
    const bool deleted = waitUntilTrue([image, &error] {
        error = DeleteFileA(image) ? ERROR_SUCCESS : GetLastError();
        return error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    });
    if (!deleted)
        return testing::AssertionFailure() << image << " cannot be deleted (error " << error << ")";
    return testing::AssertionSuccess();
}

}  // namespace

TEST_F(RobustnessShell, AHiddenClientAddsItsIconAgainWhenTheTaskbarIsRecreated) {
    ArpSettings settings = clientSettings();
    settings.pwd = PasswordDigest("secret");
    Sandbox sandbox("robust-shell-client");
    std::string exe = sandbox.copyClient(*formatClientConfig(settings));
    const std::string plantedLoaded = sandbox.plantDll("iphlpapi.dll");

    RunningProgram program(exe, sandbox.folder());
    StartupSeen seen = driveStartup(program);
    // Its opening has read the adapters through IP Helper by now.
    EXPECT_FALSE(fileExists(plantedLoaded)) << "the iphlpapi.dll beside the program was loaded";
    ASSERT_EQ(seen.mode, SeenMode::ClientBind) << modeName(seen.mode);
    ASSERT_TRUE(waitUntilHidden(seen.window));
    expectIconRestored(program, seen.window, "hidden client");
    // The first menu item of a locked window is "UnLock": its dialog opens, so the icon still leads in.
    HWND unlock = waitForDialog(program.processId(), kUnlockDialogCaption);
    ASSERT_TRUE(unlock);
    clickButton(unlock, IDCANCEL);
    waitUntilGone(unlock);
    EXPECT_FALSE(IsWindowVisible(seen.window));
    // Locked, it ends only after the password.
    ASSERT_TRUE(unlockFromIconMenu(seen.window, program.processId(), L"secret"));
    expectCleanExit(program, seen.window, "hidden client");
    // Gone with the program.
    EXPECT_FALSE(shellKnowsIcon(seen.window));
}

TEST_F(RobustnessShell, AnUnlockedAdministratorAddsItsIconAgainWhenTheTaskbarIsRecreated) {
    Sandbox sandbox("robust-shell-admin");
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    StartupSeen seen = driveStartup(program);
    ASSERT_EQ(seen.mode, SeenMode::Admin) << modeName(seen.mode);
    expectIconRestored(program, seen.window, "unlocked administrator");
    // "Lock" was chosen: the window stays shown with its controls disabled.
    for (DWORD start = GetTickCount();
         IsWindowEnabled(GetDlgItem(seen.window, IDC_LANGUAGE)) && GetTickCount() - start < 10000;)
        Sleep(50);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(seen.window, IDC_LANGUAGE)));
    EXPECT_TRUE(IsWindowVisible(seen.window));
    ASSERT_TRUE(unlockFromIconMenu(seen.window, program.processId(), L"mauve"));  // it ends only unlocked
    expectCleanExit(program, seen.window, "unlocked administrator");
    EXPECT_FALSE(shellKnowsIcon(seen.window));
}

// The running program's file renamed inside the system and another file of the image's size put at its name, then
// an elevated Apply with the service ticked. Held from start-up, the file cannot be renamed and the service is the
// image that runs; opened by someone else at start-up, it cannot be held, and no service is installed at all.
TEST_F(RobustnessShell, TheServiceIsMadeOnlyFromTheImageThatWasStarted) {
    char serviceImage[MAX_PATH] = {};
    ExpandEnvironmentStringsA("%ProgramFiles%\\XirARP\\XirARP.exe", serviceImage, MAX_PATH);
    writeSettingString("gwmac", "0A-0B-22-33-44-55");  // no gateway lookup at opening
    writeSettingString("gwip", "192.168.7.1");
    for (bool heldAtStart : {true, false}) {
        SCOPED_TRACE(heldAtStart ? "held" : "opened by another program at start");
        ASSERT_TRUE(noServiceNorImage(serviceImage));
        Sandbox sandbox(heldAtStart ? "robust-swap-held" : "robust-swap-open");
        UserFoldersRedirect folders(sandbox.makeSubfolder("Desktop"), sandbox.makeSubfolder("Startup"));
        const std::string exe = sandbox.copyProgram();
        // Open for deletion (a file that is open for writing would not start at all): the hold cannot be taken.
        HANDLE writer = heldAtStart ? INVALID_HANDLE_VALUE
                                    : CreateFileA(exe.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                                  FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
        RunningProgram program(exe, sandbox.folder());
        HWND window = waitForDialog(program.processId(), kMainCaption);
        ASSERT_TRUE(window && waitUntilVisible(window));
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
        EXPECT_NE(MoveFileA(exe.c_str(), sandbox.path("renamed.exe").c_str()), heldAtStart);
        if (!heldAtStart) {
            EXPECT_TRUE(writeFileBytes(exe, std::string(kBaseImageSize, 'X')));
        }
        sendToControl(GetDlgItem(window, IDC_GENERATE_CLIENT), BM_SETCHECK, BST_UNCHECKED, 0);
        sendToControl(GetDlgItem(window, IDC_SERVICE), BM_SETCHECK, BST_CHECKED, 0);
        clickButton(window, IDC_APPLY);
        MessageBoxSeen said = waitForMessageBox(program.processId(), 90000);
        EXPECT_EQ(said.text, heldAtStart ? "Apply Setting Successfully !" : uiText(IDS_SERVICE_IMAGE_NOT_HELD, 0));
        clickButton(said.window, IDOK);
        EXPECT_EQ(readFileBytes(serviceImage) == readFileBytes(adminImagePath()), heldAtStart);
        EXPECT_EQ(fileExists(serviceImage), heldAtStart);
    }
    EXPECT_TRUE(noServiceNorImage(serviceImage));
    *strrchr(serviceImage, '\\') = '\0';
    RemoveDirectoryA(serviceImage);
}
