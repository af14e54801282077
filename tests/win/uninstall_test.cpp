// Uninstall in the running window: the timer, the static entry, this copy's shortcut and the settings go.
#include <shlwapi.h>

#include <memory>

#include "settings_window_fixture.h"
#include "support/files.h"
#include "support/user_folders.h"
#include "sys/system_paths.h"
#include "sys/text_encoding.h"
#include "ui/startup_shortcut.h"

using namespace settings_window;

namespace {

// Points the user's Startup (and Desktop) folder at a folder of the test's own and puts it back afterwards.
class Uninstall : public SettingsWindowTest {
  protected:
    void SetUp() override {
        SettingsWindowTest::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        startup_ = std::string(temp) + "xirarp-uninstall-startup";
        CreateDirectoryA(startup_.c_str(), nullptr);
        redirect_ = std::make_unique<UserFoldersRedirect>(startup_, startup_);
        ownShortcut_ = startup_ + "\\" + wideToUtf8(applicationName()) + ".lnk";
        adminShortcut_ = startup_ + "\\XirARP.lnk";

        writeSettingDword("language", 0);
        writeSettingDword("timer", 45);
        writeSettingString("gwmac", "00-11-22-33-44-55");
        writeSettingString("gwip", "192.168.1.1");
        writeSettingString("pwd", "0123456789abcdef0123456789abcdef");
        SHSetValueA(HKEY_CURRENT_USER, "Software\\Xir\\Other\\Deeper", "x", REG_SZ, "y", 2);
        ASSERT_TRUE(writeFileBytes(ownShortcut_, "L"));
    }
    void TearDown() override {
        DeleteFileA(ownShortcut_.c_str());
        DeleteFileA(adminShortcut_.c_str());
        RemoveDirectoryA(startup_.c_str());
        redirect_.reset();
        SettingsWindowTest::TearDown();
    }

    static void expectSuccessBox(const MainWindow& window, const std::string& text) {
        expectOneBox(window.hwnd(), text, "Information", MB_OK | MB_ICONINFORMATION);
    }

    std::string startup_;
    std::string ownShortcut_;
    std::string adminShortcut_;

  private:
    std::unique_ptr<UserFoldersRedirect> redirect_;
};

}  // namespace

TEST_F(Uninstall, RemovesEverythingItPutInPlaceAndLeavesTheWindowAsItWas) {
    ASSERT_EQ(wideToUtf8(startupShortcutPath()), ownShortcut_);
    INT_PTR result = run([this](MainWindow& w) {
        w.startBinding();
        fakeNetwork().commands.clear();
        takeShownBoxes();
        const std::string macBefore = w.text(IDC_GATEWAY_MAC1), intervalBefore = w.text(IDC_INTERVAL);
        fakeServiceManager().state = ServiceState::Running;

        // Settings that cannot be removed are told, and nothing else is undone.
        ASSERT_TRUE(setSettingsKeyAccess(kSettingsChangesRefused));
        w.press(IDC_UNINSTALL);
        EXPECT_EQ(takeShownBoxes().at(0).text,
                  "Cannot remove the settings (HKEY_CURRENT_USER\\Software\\Xir) from the registry ! XirARP stays "
                  "installed.");
        EXPECT_TRUE(KillTimer(w.hwnd(), kBindTimerId) && fakeNetwork().commands.empty() && fileExists(ownShortcut_));
        w.startBinding();
        ASSERT_TRUE(setSettingsKeyAccess(kSettingsOpen));

        w.press(IDC_UNINSTALL);
        EXPECT_EQ(fakeServiceManager().calls, (std::vector<std::string>{"control 1", "remove"}));  // elevated
        EXPECT_FALSE(KillTimer(w.hwnd(), kBindTimerId)) << "the binding timer still runs";
        EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"arp -d 192.168.1.1\r\n"});
        EXPECT_FALSE(fileExists(ownShortcut_));
        EXPECT_FALSE(registryKeyExists("Software\\Xir"));  // the settings and every other sub key
        expectSuccessBox(w, "Remove Setting Successfully !");

        EXPECT_TRUE(IsWindowVisible(w.hwnd()));
        EXPECT_EQ(w.gwip, "192.168.1.1");
        EXPECT_EQ(w.gwmac, "00-11-22-33-44-55");
        EXPECT_EQ(w.timer, 45);
        EXPECT_EQ(w.language, 0);
        EXPECT_FALSE(w.locked);
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC1), macBefore);
        EXPECT_EQ(w.text(IDC_INTERVAL), intervalBefore);

        // Nothing is left to remove the second time; the command and the message come all the same. Without the
        // rights, a service that exists stays, and the user is told after the message.
        fakeNetwork().commands.clear();
        fakeServiceManager() = FakeServiceManager();
        fakeServiceManager().state = ServiceState::Stopped;
        seams().processElevated = [] { return false; };
        w.press(IDC_UNINSTALL);
        EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"arp -d 192.168.1.1\r\n"});
        const std::vector<ShownBox> boxes = takeShownBoxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].text + " " + boxes[1].text,
                  "Remove Setting Successfully ! The XirARP service stays installed until an administrator removes it !");
        EXPECT_TRUE(fakeServiceManager().calls.empty());
        EXPECT_FALSE(registryKeyExists("Software\\Xir"));
    });
    EXPECT_EQ(result, dialog_test::kStillOpen);
}

TEST_F(Uninstall, WithoutAGatewayRunsNoCommand) {
    run([](MainWindow& w) {
        fakeNetwork().commands.clear();
        w.gwip.clear();
        w.press(IDC_UNINSTALL);
        EXPECT_TRUE(fakeNetwork().commands.empty());
        EXPECT_EQ(takeShownBoxes().size(), 1u);
        EXPECT_FALSE(registryKeyExists("Software\\Xir"));
    });
}

// Each copy's shortcut is named after its own executable: a client copy's uninstall spares the
// administrator's shortcut, and this copy's one goes whatever the others are called.
TEST_F(Uninstall, RemovesOnlyThisCopysShortcut) {
    ASSERT_TRUE(writeFileBytes(adminShortcut_, "L"));
    setRunMode(RunMode::ClientBind);
    run([this](MainWindow& w) {
        w.press(IDC_UNINSTALL);  // locked, as a client opens: refused
        EXPECT_TRUE(fileExists(ownShortcut_));
        w.locked = false;  // as after the password
        w.press(IDC_UNINSTALL);
        EXPECT_FALSE(fileExists(ownShortcut_));
        EXPECT_TRUE(fileExists(adminShortcut_));
    });
}

TEST_F(Uninstall, WithoutAStartupFolderStillRemovesTheSettings) {
    UserFoldersRedirect::forget("Startup");
    run([this](MainWindow& w) {
        w.press(IDC_UNINSTALL);
        EXPECT_TRUE(fileExists(ownShortcut_));
        EXPECT_FALSE(registryKeyExists("Software\\Xir"));
        EXPECT_EQ(takeShownBoxes().size(), 1u);
    });
}

TEST_F(Uninstall, TheMessageFollowsTheWindowsLanguage) {
    run([](MainWindow& w) {
        takeShownBoxes();
        const struct {
            int language;
            const char* text;
        } kCases[] = {{1, "已成功卸载 !"}, {2, "已成功移除設定 !"}, {0, "Remove Setting Successfully !"}};
        for (const auto& entry : kCases) {
            selectLanguage(w.hwnd(), entry.language);
            w.press(IDC_UNINSTALL);
            expectSuccessBox(w, entry.text);
        }
        w.language = 7;
        w.press(IDC_UNINSTALL);
        expectSuccessBox(w, "Remove Setting Successfully !");
    });
}
