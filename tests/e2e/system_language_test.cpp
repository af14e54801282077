// Start-up's messages follow the system's language. ctest runs this suite once more under each
// Chinese locale (Wine takes the system language from LC_ALL of the process that starts it).
#include <gtest/gtest.h>

#include "config/client_config.h"
#include "res/resource.h"
#include "steps/program.h"
#include "steps/sandbox.h"
#include "support/registry.h"
#include "support/windows.h"

namespace {

struct LanguageTexts {
    const char* anotherCopy;
    const char* question;
};

const LanguageTexts& expectedTexts() {
    static const LanguageTexts english{"Another XirARP is running now!!",
                                       "Would you like to run \"Prevent ARP Virus Attack\" binding ?"};
    static const LanguageTexts simplified{"另一个 防ARP攻击 正在运行中!!", "你需要运行 客戶端防ARP攻击 吗 ?"};
    static const LanguageTexts traditional{"另一個 防ARP攻擊 正在運行中!!", "是否執行 客戶端防ARP攻擊 ?"};
    switch (GetSystemDefaultLangID()) {
        case 2052:
            return simplified;
        case 1028:
            return traditional;
        default:
            return english;
    }
}

DWORD expectedLanguageNumber() {
    LANGID id = GetSystemDefaultLangID();
    return id == 2052 ? 1 : id == 1028 ? 2 : 0;
}

class SystemLanguage : public CleanSettingsTest {
protected:
    void SetUp() override {
        CleanSettingsTest::SetUp();
        RecordProperty("SystemLanguageId", GetSystemDefaultLangID());
    }
};

}  // namespace

TEST_F(SystemLanguage, ASecondStartIsRefusedAndTheFirstCopyStays) {
    Sandbox sandbox("second-start-" + std::to_string(GetSystemDefaultLangID()));
    std::string first = sandbox.copyProgram();
    std::string second = sandbox.copyProgram("XirARP-Client.exe");
    appendFileBytes(second, "client bytes without a header");

    RunningProgram running(first, sandbox.folder());
    HWND window = waitForDialog(running.processId(), kMainCaption);
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntilVisible(window));

    RunningProgram again(second, sandbox.folder());
    MessageBoxSeen refusal = waitForMessageBox(again.processId());
    ASSERT_TRUE(refusal.window);
    EXPECT_EQ(refusal.text, expectedTexts().anotherCopy);
    EXPECT_EQ(refusal.caption, "XirARP-Client");
    EXPECT_EQ(waitForDialog(again.processId(), kMainCaption, 0), nullptr);
    clickButton(refusal.window, IDOK);
    EXPECT_TRUE(again.waitForExit(10000));

    EXPECT_TRUE(running.running());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(windowText(window), "XirARP Utility v0.4");
    EXPECT_FALSE(hasMessageBox(running.processId()));
    clickButton(window, IDC_EXIT);
    EXPECT_TRUE(running.waitForExit(10000));
}

TEST_F(SystemLanguage, TheClientQuestionAndTheStoredLanguageFollowTheSystem) {
    Sandbox sandbox("client-question-" + std::to_string(GetSystemDefaultLangID()));
    ArpSettings settings = clientSettings();
    settings.language = 1;  // whatever the administrator used
    settings.mode = kTokenClientAsk;
    settings.timer = 60;
    settings.gwip = "10.0.0.1";
    std::string exe = sandbox.copyClient(*formatClientConfig(settings));

    RunningProgram program(exe, sandbox.folder());
    MessageBoxSeen question = waitForMessageBox(program.processId());
    ASSERT_TRUE(question.window);
    EXPECT_EQ(question.text, expectedTexts().question);
    EXPECT_EQ(readSettingDword("language"), expectedLanguageNumber());
    clickButton(question.window, IDCANCEL);
    EXPECT_TRUE(program.waitForExit(10000));
}
