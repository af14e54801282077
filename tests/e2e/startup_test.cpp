// Start-up of the real padded program and of client copies made from it, as a user starts them.
#include <gtest/gtest.h>

#include "config/client_config.h"
#include "res/resource.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "support/registry.h"
#include "support/windows.h"

namespace {

std::string configText(const std::string& token) {
    ArpSettings settings;
    settings.language = 2;  // the client stores its own system's language instead
    settings.mode = token;
    settings.pwd = "0123456789abcdef0123456789abcdef";
    settings.timer = 45;
    settings.gwmac = "00-11-22-33-44-5";
    settings.gwip = "192.168.1.1";
    return *formatClientConfig(settings);
}

void expectImportedSettings() {
    EXPECT_EQ(readSettingDword("language"), 0u);  // this test prefix is an English system
    EXPECT_EQ(readSettingString("pwd"), "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(readSettingDword("timer"), 45u);
    EXPECT_EQ(readSettingString("gwmac"), "00-11-22-33-44-05");  // the package's MAC in the one stored form
    EXPECT_EQ(readSettingString("gwip"), "192.168.1.1");
}

void exitThroughButton(HWND window, const RunningProgram& program) {
    clickButton(window, IDC_EXIT);
    EXPECT_TRUE(program.waitForExit(10000));
}

class Startup : public CleanSettingsTest {};

}  // namespace

TEST_F(Startup, TheAdministratorImageIsExactlyTheBaseSizeAndOpensShownWithoutImporting) {
    Sandbox sandbox("admin");
    std::string exe = sandbox.copyProgram();
    ASSERT_EQ(readFileBytes(exe).size(), kBaseImageSize);

    RunningProgram program(exe, sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    EXPECT_TRUE(waitUntilVisible(window));
    EXPECT_FALSE(hasMessageBox(program.processId()));
    EXPECT_FALSE(settingsKeyExists());
    exitThroughButton(window, program);
}

TEST_F(Startup, OneByteBehindTheImageHasNoHeaderAndStartsAsAdministrator) {
    Sandbox sandbox("one-byte");
    std::string exe = sandbox.copyClient("x", "XirARP.exe");
    RunningProgram program(exe, sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    EXPECT_TRUE(waitUntilVisible(window));
    EXPECT_FALSE(hasMessageBox(program.processId()));
    EXPECT_FALSE(settingsKeyExists());
    exitThroughButton(window, program);
}

TEST_F(Startup, AnAlwaysBindClientImportsWithoutAskingAndHidesItself) {
    Sandbox sandbox("client-bind");
    std::string exe = sandbox.copyClient(configText(kTokenClientBind));
    RunningProgram program(exe, sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    EXPECT_TRUE(waitUntilHidden(window));
    EXPECT_FALSE(hasMessageBox(program.processId()));
    expectImportedSettings();
}

TEST_F(Startup, AClientThatMayDeclineAsksFirstAndCancelEndsAfterImporting) {
    Sandbox sandbox("client-ask-cancel");
    std::string exe = sandbox.copyClient(configText(kTokenClientAsk));
    RunningProgram program(exe, sandbox.folder());
    MessageBoxSeen question = waitForMessageBox(program.processId());
    ASSERT_TRUE(question.window);
    EXPECT_EQ(question.caption, "XirARP-Client");
    EXPECT_EQ(question.text, "Would you like to run \"Prevent ARP Virus Attack\" binding ?");
    expectImportedSettings();  // stored before the question
    clickButton(question.window, IDCANCEL);
    EXPECT_TRUE(program.waitForExit(10000));
    EXPECT_FALSE(waitForDialog(program.processId(), kMainCaption, 0));
}

TEST_F(Startup, AClientThatMayDeclineOpensAndHidesOnOk) {
    Sandbox sandbox("client-ask-ok");
    std::string exe = sandbox.copyClient(configText(kTokenClientAsk));
    RunningProgram program(exe, sandbox.folder());
    MessageBoxSeen question = waitForMessageBox(program.processId());
    ASSERT_TRUE(question.window);
    clickButton(question.window, IDOK);
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    EXPECT_TRUE(waitUntilHidden(window));
    EXPECT_TRUE(program.running());
}

TEST_F(Startup, AnUnknownTokenRunsAsAdministratorWithTheSettingsStored) {
    Sandbox sandbox("client-unknown");
    std::string exe = sandbox.copyClient(configText("k7qw2mzp9tlx5"));
    RunningProgram program(exe, sandbox.folder());
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    EXPECT_TRUE(waitUntilVisible(window));
    expectImportedSettings();
    exitThroughButton(window, program);
}

TEST_F(Startup, ARenamedClientStartedFromAnotherFolderStillFindsItself) {
    Sandbox sandbox("client-renamed");
    std::string exe = sandbox.copyClient(configText(kTokenClientAsk), "Gateway Guard.exe");
    RunningProgram program(exe, sandbox.makeSubfolder("elsewhere"));
    MessageBoxSeen question = waitForMessageBox(program.processId());
    ASSERT_TRUE(question.window);
    EXPECT_EQ(question.caption, "Gateway Guard");
    expectImportedSettings();
    clickButton(question.window, IDCANCEL);
    EXPECT_TRUE(program.waitForExit(10000));
}

TEST_F(Startup, TheAdministratorStartsFromAnotherCurrentFolder) {
    Sandbox sandbox("admin-elsewhere");
    std::string exe = sandbox.copyProgram();
    RunningProgram program(exe, sandbox.makeSubfolder("elsewhere"));
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    exitThroughButton(window, program);
}

TEST_F(Startup, EveryMissingKeyIsReportedOnceAndTheOthersAreStored) {
    Sandbox sandbox("client-missing-keys");
    std::string text = configText(kTokenClientBind);
    text.erase(text.find("\"pwd\""), text.find("\"timer\"") - text.find("\"pwd\""));
    text.erase(text.find("\"gwip\""));
    std::string exe = sandbox.copyClient(text);
    RunningProgram program(exe, sandbox.folder());
    for (int missing = 0; missing < 2; ++missing) {
        MessageBoxSeen report = waitForMessageBox(program.processId());
        ASSERT_TRUE(report.window);
        EXPECT_EQ(report.text, "parse configuration fail!!");
        EXPECT_EQ(report.caption, "XirARP-Client");
        clickButton(report.window, IDOK);
        while (IsWindow(report.window))
            Sleep(20);
    }
    HWND window = waitForDialog(program.processId(), kMainCaption);
    ASSERT_TRUE(window);
    EXPECT_FALSE(hasMessageBox(program.processId()));
    EXPECT_FALSE(readSettingString("pwd"));
    EXPECT_FALSE(readSettingString("gwip"));
    EXPECT_EQ(readSettingDword("timer"), 45u);
    EXPECT_EQ(readSettingString("gwmac"), "00-11-22-33-44-05");
}

TEST_F(Startup, AClientOverwritesChangedSettingsAtEveryStart) {
    Sandbox sandbox("client-overwrite");
    writeSettingString("pwd", "ffffffffffffffffffffffffffffffff");
    writeSettingDword("timer", 45);
    std::string exe = sandbox.copyClient(configText(kTokenClientBind));
    RunningProgram program(exe, sandbox.folder());
    ASSERT_TRUE(waitForDialog(program.processId(), kMainCaption));
    expectImportedSettings();
}
