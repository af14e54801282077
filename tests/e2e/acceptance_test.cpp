// Both roads as their users walk them, with the real padded program on a clean account: the
// administrator's from first start to Uninstall, and a client package's with each kind of token. ctest
// runs this suite once per system language (English here, then under each Chinese locale).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "auth/password.h"
#include "config/client_config.h"
#include "config/arp_settings.h"
#include "res/resource.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "support/registry.h"
#include "support/user_folders.h"
#include "support/windows.h"
#include "sys/ui_text.h"

namespace {

const char* const kPassword = "Gat3way!";
const char* const kBindCommand = "arp -s 192.168.7.1 0A-1B-22-33-44-55\r\n";
const char* const kRemoveCommand = "arp -d 192.168.7.1\r\n";
constexpr int kIntervalSeconds = 2;

// The language the program takes from the system (its mapping is tested on its own natively).
int32_t systemLanguage() {
    return systemUiLanguage(GetSystemDefaultLangID());
}

// A main window control's text in the system's language: the string tables hold it under the control's id.
std::string mainWindowText(int controlId) {
    return uiText(static_cast<unsigned>(controlId), systemLanguage());
}

void typeInto(HWND dialog, int controlId, const char* text) {
    std::wstring wide(text, text + strlen(text));
    setControlText(GetDlgItem(dialog, controlId), wide.c_str());
}

// Opens the unlock dialog from the icon's menu and types the password; the window comes back.
void unlockWith(HWND window, DWORD processId, const char* password) {
    ASSERT_TRUE(chooseFromIconMenu(window, processId)) << "the icon's menu did not open";
    HWND unlock = waitForDialog(processId, uiText(IDS_UNLOCK_CAPTION, systemLanguage()));
    ASSERT_TRUE(unlock);
    typeInto(unlock, IDC_UNLOCK_PASSWORD, password);
    clickButton(unlock, IDOK);
    EXPECT_TRUE(waitUntilGone(unlock));
    EXPECT_TRUE(waitUntilVisible(window));
}

// The first binding about a second after the moment given, then one every interval. The stand-in
// is a whole process that Wine starts, so the bounds are loose; the benchmark measures precisely.
void expectBindingsFrom(const Sandbox& sandbox, DWORD since) {
    const DWORD first = sandbox.waitForRecorded(kBindCommand);
    ASSERT_NE(first, 0u) << "no binding was recorded";
    const DWORD second = sandbox.waitForRecorded(kBindCommand, 2);
    ASSERT_NE(second, 0u) << "the binding did not repeat";
    EXPECT_GE(first - since, 800u);
    EXPECT_LE(first - since, patient(8000));
    EXPECT_GE(second - first, kIntervalSeconds * 1000u - 500u);
    EXPECT_LE(second - first, kIntervalSeconds * 1000u + patient(6000));
    testing::Test::RecordProperty("FirstBindingAfterMs", static_cast<int>(first - since));
    testing::Test::RecordProperty("BindingSpacingMs", static_cast<int>(second - first));
}

ArpSettings administratorsSettings(const char* token) {
    ArpSettings settings;
    settings.language = 0;
    settings.mode = token;
    settings.pwd = PasswordDigest(kPassword);
    settings.timer = kIntervalSeconds;
    settings.gwmac = "0A-1B-22-33-44-55";
    settings.gwip = "192.168.7.1";
    return settings;
}

// The sandbox's own Desktop and Startup folders for the life of the object.
struct UserFolders {
    explicit UserFolders(const Sandbox& sandbox)
        : desktop(sandbox.makeSubfolder("Desktop")),
          startup(sandbox.makeSubfolder("Startup")),
          redirect(desktop, startup) {}
    std::string desktop;
    std::string startup;
    UserFoldersRedirect redirect;
};

class Acceptance : public CleanSettingsTest {
  protected:
    void SetUp() override {
        CleanSettingsTest::SetUp();
        RecordProperty("SystemLanguageId", GetSystemDefaultLangID());
    }

    std::string sandboxName(const char* road) const {
        return std::string(road) + "-" + std::to_string(systemLanguage());
    }
};

// A client copy on a clean account, started from a folder other than its own; Cancel on the question
// of a client whose user may decline ends it after the import.
void walkClientRoad(const std::string& sandboxName, const char* token, int answer) {
    Sandbox sandbox(sandboxName);
    UserFolders folders(sandbox);
    const std::string package = sandbox.copyProgram("XirARP-Client.exe");
    ASSERT_TRUE(appendFileBytes(package, *formatClientConfig(administratorsSettings(token))));
    const std::string elsewhere = sandbox.makeSubfolder("elsewhere");
    const int32_t language = systemLanguage();

    RunningProgram client(package, elsewhere);
    const bool asks = std::string(token) == kTokenClientAsk;
    HWND window = nullptr;
    if (asks)
        answerMessageBox(client.processId(), "XirARP-Client", uiText(IDS_RUN_BINDING_QUESTION, language).c_str(),
                         answer);
    else
        window = waitForDialog(client.processId(), kMainCaption);
    // Imported before the question or the window, whatever the answer.
    EXPECT_EQ(readSettingDword("language"), static_cast<DWORD>(language));
    EXPECT_EQ(readSettingString("pwd"), PasswordDigest(kPassword));
    EXPECT_EQ(readSettingDword("timer"), static_cast<DWORD>(kIntervalSeconds));
    EXPECT_EQ(readSettingString("gwmac"), "0A-1B-22-33-44-55");
    EXPECT_EQ(readSettingString("gwip"), "192.168.7.1");
    if (asks && answer == IDCANCEL) {
        EXPECT_TRUE(client.waitForExit(10000));
        EXPECT_EQ(sandbox.countRecorded(kBindCommand), 0u);
        EXPECT_FALSE(fileExists(folders.startup + "\\XirARP-Client.lnk"));
        return;
    }

    if (!window)
        window = waitForDialog(client.processId(), kMainCaption);
    ASSERT_TRUE(window);
    const DWORD opened = GetTickCount();
    EXPECT_TRUE(waitUntilHidden(window));
    // A client keeps itself hidden from its first moment: what its Apply makes comes a little later.
    EXPECT_TRUE(waitUntilTrue([&] { return fileExists(folders.startup + "\\XirARP-Client.lnk"); }));
    expectBindingsFrom(sandbox, opened);

    // A second start of the same package is refused; the first copy goes on.
    {
        RunningProgram again(package, elsewhere);
        answerMessageBox(again.processId(), "XirARP-Client", uiText(IDS_ANOTHER_COPY_RUNNING, language).c_str());
        EXPECT_TRUE(again.waitForExit(10000));
    }
    EXPECT_TRUE(client.running());

    // Locked with the administrator's password; unlocked, a client may only leave.
    unlockWith(window, client.processId(), kPassword);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_APPLY)));
    clickButton(window, IDC_EXIT);
    EXPECT_TRUE(client.waitForExit(10000));
}

}  // namespace

TEST_F(Acceptance, TheAdministratorsRoadFromFirstStartToUninstall) {
    Sandbox sandbox(sandboxName("acceptance-admin"));
    UserFolders folders(sandbox);
    const std::string exe = sandbox.copyProgram();
    const int32_t language = systemLanguage();

    // First start on a clean account, from another current folder: shown, unlocked, in the system's
    // language, which is stored only when it is not English.
    RunningProgram program(exe, sandbox.makeSubfolder("elsewhere"));
    const DWORD processId = program.processId();
    HWND window = waitForDialog(processId, kMainCaption);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntilVisible(window));
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_APPLY)), mainWindowText(IDC_APPLY));
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_GENERATE_CLIENT)), mainWindowText(IDC_GENERATE_CLIENT));
    if (language == 0)
        EXPECT_FALSE(readSettingDword("language").has_value());
    else
        EXPECT_EQ(readSettingDword("language"), static_cast<DWORD>(language));

    // The gateway, the MAC address as typed, a short interval, a package that always binds.
    sendToControl(GetDlgItem(window, IDC_GATEWAY_IP), IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 7, 1));
    const wchar_t* const mac[] = {L"0A", L"1B", L"22", L"33", L"44", L"55"};
    for (int i = 0; i < 6; ++i)
        setControlText(GetDlgItem(window, IDC_GATEWAY_MAC1 + i), mac[i]);
    setControlText(GetDlgItem(window, IDC_INTERVAL), L"2");
    sendToControl(GetDlgItem(window, IDC_GENERATE_CLIENT), BM_SETCHECK, BST_CHECKED, 0);
    clickButton(window, IDC_GENERATE_CLIENT);
    sendToControl(GetDlgItem(window, IDC_ALLOW_SKIP_YES), BM_SETCHECK, BST_UNCHECKED, 0);
    sendToControl(GetDlgItem(window, IDC_ALLOW_SKIP_NO), BM_SETCHECK, BST_CHECKED, 0);

    // No package while the default password is in force.
    clickButton(window, IDC_APPLY);
    answerMessageBox(processId, "WARNING", uiText(IDS_DEFAULT_PASSWORD_WARNING, language).c_str());
    EXPECT_FALSE(fileExists(folders.desktop + "\\XirARP-Client.exe"));
    EXPECT_FALSE(readSettingString("gwip").has_value());

    clickButton(window, IDC_CHANGE_PASSWORD);
    HWND change = waitForDialog(processId, uiText(IDS_CHANGE_PASSWORD_CAPTION, language));
    ASSERT_TRUE(change);
    typeInto(change, IDC_CHANGE_OLD_PASSWORD, DefaultPassword);
    typeInto(change, IDC_CHANGE_NEW_PASSWORD, kPassword);
    typeInto(change, IDC_CHANGE_CONFIRM_PASSWORD, kPassword);
    clickButton(change, IDOK);
    ASSERT_TRUE(waitUntilGone(change));
    EXPECT_EQ(readSettingString("pwd"), PasswordDigest(kPassword));

    clickButton(window, IDC_APPLY);
    MessageBoxSeen success = waitForMessageBox(processId);
    ASSERT_TRUE(success.window);
    EXPECT_EQ(success.caption, "Information");
    EXPECT_EQ(success.text, uiText(IDS_APPLY_SUCCEEDED, language));
    EXPECT_EQ(readSettingDword("timer"), static_cast<DWORD>(kIntervalSeconds));
    EXPECT_EQ(readSettingString("gwmac"), "0A-1B-22-33-44-55");
    EXPECT_EQ(readSettingString("gwip"), "192.168.7.1");
    EXPECT_TRUE(fileExists(folders.startup + "\\XirARP.lnk"));
    const std::string package = readFileBytes(folders.desktop + "\\XirARP-Client.exe");
    ASSERT_GT(package.size(), kBaseImageSize);
    EXPECT_TRUE(package.compare(0, kBaseImageSize, readFileBytes(exe)) == 0);
    ParsedClientConfig carried = parseClientConfig(package.data() + kBaseImageSize, package.size() - kBaseImageSize);
    EXPECT_EQ(carried.mode, kTokenClientBind);
    EXPECT_EQ(carried.pwd, PasswordDigest(kPassword));
    EXPECT_EQ(carried.timer, kIntervalSeconds);
    EXPECT_EQ(carried.gwmac, "0A-1B-22-33-44-55");
    EXPECT_EQ(carried.gwip, "192.168.7.1");

    // Confirmed: hidden and locked, then the bindings.
    const DWORD confirmed = GetTickCount();
    clickButton(success.window, IDOK);
    EXPECT_TRUE(waitUntilHidden(window));
    expectBindingsFrom(sandbox, confirmed);
    EXPECT_EQ(sandbox.countRecorded(kRemoveCommand), 0u);  // nothing was bound before

    // Back with the new password, unlocked: everything may be changed again.
    unlockWith(window, processId, kPassword);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_APPLY)));

    clickButton(window, IDC_UNINSTALL);
    answerMessageBox(processId, "Information", uiText(IDS_UNINSTALL_DONE, language).c_str());
    EXPECT_NE(sandbox.waitForRecorded(kRemoveCommand), 0u);
    EXPECT_FALSE(settingsKeyExists());
    EXPECT_FALSE(fileExists(folders.startup + "\\XirARP.lnk"));
    EXPECT_TRUE(fileExists(folders.desktop + "\\XirARP-Client.exe"));  // the package is the user's to keep

    clickButton(window, IDC_EXIT);
    EXPECT_TRUE(program.waitForExit(10000));
}

TEST_F(Acceptance, AClientThatMayDeclineEndsOnCancelAfterImporting) {
    walkClientRoad(sandboxName("acceptance-ask-cancel"), kTokenClientAsk, IDCANCEL);
}

TEST_F(Acceptance, AClientThatMayDeclineBindsOnOk) {
    walkClientRoad(sandboxName("acceptance-ask-ok"), kTokenClientAsk, IDOK);
}

TEST_F(Acceptance, AClientThatAlwaysBindsDoesSoWithoutAsking) {
    walkClientRoad(sandboxName("acceptance-bind"), kTokenClientBind, IDOK);
}
