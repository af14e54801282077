// Apply driven through the real main window, with the message boxes and commands recorded, the user's
// Desktop and Startup folders pointed at test folders, and Wine's real registry, files and timers.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>
#include <optional>
#include <string>
#include <vector>

#include "app/run_mode.h"
#include "config/arp_settings.h"
#include "config/client_config.h"
#include "config/reg_value.h"
#include "net/binding_commands.h"
#include "res/resource.h"
#include "service/service_install.h"
#include "support/dialog_driver.h"
#include "support/files.h"
#include "support/registry.h"
#include "support/seam_guard.h"
#include "support/user_folders.h"
#include "sys/system_paths.h"
#include "sys/own_image.h"
#include "sys/seams.h"
#include "sys/text_encoding.h"
#include "ui/client_package.h"
#include "ui/main_dlg.h"

namespace {

using MainDriven = dialog_test::Driven<CArpMainDlg>;

constexpr const char* kDigest = "0123456789abcdef0123456789abcdef";
constexpr const char* kSuccessText = "Apply Setting Successfully !";

// "run <command>" and "box <text>", in the order they happened.
std::vector<std::string>& events() {
    static std::vector<std::string> recorded;
    return recorded;
}

void forgetRecorded() {
    events().clear();
    messageBoxes() = MessageBoxRecord();
}

// Whether the binding timer runs; the probe stops it.
bool bindTimerRan(HWND window) {
    return KillTimer(window, kBindTimerId) != FALSE;
}

bool minimisePending(HWND window) {
    MSG message;
    return PeekMessageW(&message, window, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_NOREMOVE) && message.wParam == SC_MINIMIZE;
}

struct Fields {
    std::array<int, 4> ip = {192, 168, 1, 1};
    std::array<const char*, 6> mac = {"00", "11", "22", "33", "44", "55"};
    const char* interval = "30";
};

void fill(MainDriven& dlg, const Fields& fields) {
    SendMessageW(dlg.item(IDC_GATEWAY_IP), IPM_SETADDRESS, 0,
                 MAKEIPADDRESS(fields.ip[0], fields.ip[1], fields.ip[2], fields.ip[3]));
    for (int i = 0; i < 6; ++i)
        dlg.setEntry(IDC_GATEWAY_MAC1 + i, fields.mac[static_cast<size_t>(i)]);
    dlg.setEntry(IDC_INTERVAL, fields.interval);
}

void tick(MainDriven& dlg, int id, bool checked) {
    SendMessageW(dlg.item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Empties the last of the gateway address's four fields, whichever child edit holds it.
void blankLastIpField(MainDriven& dlg, const char* lastFieldText) {
    HWND field = nullptr;
    while ((field = FindWindowExW(dlg.item(IDC_GATEWAY_IP), field, nullptr, nullptr)) != nullptr) {
        if (windowText(field) == lastFieldText)
            SetWindowTextW(field, L"");
    }
}

class ApplyTest : public testing::Test {
  protected:
    void SetUp() override {
        forgetRecorded();
        seams().runCommand = [](const char* line, int showCommand, ProgramLookup lookup) {
            EXPECT_TRUE(showCommand == SW_HIDE && lookup == ProgramLookup::SystemFolderOnly) << line;
            events().push_back(std::string("run ") + line);
            return 33u;
        };
        seams().wait = [](unsigned) {};
        seams().readAdapters = [](std::vector<AdapterInfo>& adapters) {
            adapters.clear();
            return false;
        };
        seams().readArpTable = [](std::vector<ArpRow>& rows) {
            rows.clear();
            return true;
        };
        seams().notifyIcon = [](unsigned long, void*) { return true; };  // no tray under test
        seams().notifyIconWide = [](unsigned long, void*) { return true; };
        seams().messageBox = [](void* owner, const char* text, const char* caption, unsigned flags) {
            events().push_back(std::string("box ") + text);
            return recordMessageBox(owner, text, caption, flags);
        };
        removeProgramSettings();

        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "xirarp-apply-test";
        removeTree(root_);
        CreateDirectoryA(root_.c_str(), nullptr);
        desktop_ = root_ + "\\Desktop";
        startup_ = root_ + "\\Startup";
        CreateDirectoryA(desktop_.c_str(), nullptr);
        CreateDirectoryA(startup_.c_str(), nullptr);
        folders_.emplace(desktop_, startup_);
    }

    void TearDown() override {
        setRunMode(RunMode::Admin);
        folders_.reset();
        removeProgramSettings();
        removeTree(root_);
    }

    static INT_PTR run(MainDriven::Script script) { return dialog_test::runModal<CArpMainDlg>(std::move(script)); }

    std::string shortcut() const { return startup_ + "\\" + wideToUtf8(applicationName()) + ".lnk"; }
    std::string package() const { return desktop_ + "\\" + wideToUtf8(kClientPackageName); }
    // The configuration text behind the image of the package on the desktop.
    std::string packageTail() const {
        std::string bytes = readFileBytes(package());
        return bytes.size() > kBaseImageSize ? bytes.substr(kBaseImageSize) : std::string();
    }

    std::string root_, desktop_, startup_;

  private:
    ScopedSeams seams_;
    std::optional<UserFoldersRedirect> folders_;
};

struct Warning {
    const char* english;
    const char* simplified;
    const char* traditional;
    const char* in(int language) const { return language == 1 ? simplified : language == 2 ? traditional : english; }
};

const Warning kDefaultPassword = {
    "As a security measure, you must change the default password to generate XirARP-Client for user !",
    "当您勾选”在桌面创建用戶绑定程序”，出于安全考虑，请更改默认的密码 !",
    "基於安全考量 在產生用戶端綁定程式前 請先變更預設密碼 !"};
const Warning kIp = {"Please input IP address !", "请输入IP地址 !", "請輸入IP位置 !"};
const Warning kMac = {"Please input MAC address !", "请输入MAC地址 !", "請輸入MAC !"};
const Warning kInterval = {"Please input time interval !", "请输入时间间隔 !", "請輸入時間間隔 !"};
const Warning kNotHostMac = {
    "The gateway MAC address cannot be 00-00-00-00-00-00, a broadcast or a multicast address !",
    "网关MAC地址不能是 00-00-00-00-00-00、广播地址或组播地址 !",
    "閘道MAC位址不能是 00-00-00-00-00-00、廣播位址或群播位址 !"};
const Warning kSuccess = {kSuccessText, "已成功导入设置 !", "已成功套用設定 !"};
const Warning kPackage = {"Cannot write XirARP-Client.exe to the desktop !", "无法在桌面写入 XirARP-Client.exe !",
                          "無法在桌面寫入 XirARP-Client.exe !"};

bool stagingFolderExists() {
    return GetFileAttributesW(clientStagingFolder().c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST_F(ApplyTest, TheDefaultPasswordStopsApplyBeforeTheShortcutInEveryLanguage) {
    for (int language : {0, 1, 2, 7}) {
        SCOPED_TRACE(language);
        forgetRecorded();
        run([&](MainDriven& dlg) {
            dlg.language = language;
            dlg.gwip = "10.0.0.9";
            fill(dlg, {});
            dlg.startBinding();
            bool timerRanDuringBox = true;
            messageBoxes().whileOpen = [&] {
                timerRanDuringBox = bindTimerRan(dlg.hwnd());
                return IDOK;
            };
            dlg.press(IDC_APPLY);
            expectOneBox(dlg.hwnd(), kDefaultPassword.in(language), "WARNING", MB_OK | MB_ICONEXCLAMATION);
            EXPECT_FALSE(timerRanDuringBox);
            EXPECT_FALSE(bindTimerRan(dlg.hwnd()));
            EXPECT_FALSE(minimisePending(dlg.hwnd()));
        });
        EXPECT_EQ(events().size(), 1u);  // no "arp -d"
        EXPECT_FALSE(fileExists(shortcut()));
        EXPECT_FALSE(settingExists("timer") || settingExists("gwmac") || settingExists("gwip"));
        EXPECT_FALSE(fileExists(package()));
    }
}

TEST_F(ApplyTest, AMissingFieldOrAMacNoHostHasWarnsInEveryLanguageAndStoresNothing) {
    writeSettingString("pwd", kDigest);
    for (int language : {0, 1, 2, 7}) {
        SCOPED_TRACE(language);
        run([&](MainDriven& dlg) {
            dlg.language = language;
            dlg.gwip = "10.0.0.9";
            const Fields kNullMac = {{192, 168, 1, 1}, {"0", "0", "0", "0", "0", "00"}};
            const struct {
                const char* name;
                std::function<void()> spoil;
                const Warning& warning;
                bool refusedFirst = false;  // before the shortcut, with the running binding left alone
            } kCases[] = {
                {"blank address", [&] { SendMessageW(dlg.item(IDC_GATEWAY_IP), IPM_CLEARADDRESS, 0, 0); }, kIp},
                {"fourth MAC group empty", [&] { dlg.setEntry(IDC_GATEWAY_MAC4, ""); }, kMac},
                {"last MAC group empty", [&] { dlg.setEntry(IDC_GATEWAY_MAC6, ""); }, kMac},
                {"interval empty", [&] { dlg.setEntry(IDC_INTERVAL, ""); }, kInterval},
                {"null MAC", [&] { fill(dlg, kNullMac); }, kNotHostMac, true},
            };
            for (const auto& entry : kCases) {
                SCOPED_TRACE(entry.name);
                forgetRecorded();
                DeleteFileA(shortcut().c_str());
                fill(dlg, {});
                entry.spoil();
                dlg.startBinding();
                bool shortcutDuringBox = false;
                messageBoxes().whileOpen = [&] {
                    shortcutDuringBox = fileExists(shortcut());
                    return IDOK;
                };
                dlg.press(IDC_APPLY);
                expectOneBox(dlg.hwnd(), entry.warning.in(language), "WARNING", MB_OK | MB_ICONEXCLAMATION);
                EXPECT_EQ(shortcutDuringBox, !entry.refusedFirst);
                EXPECT_EQ(events().size(), 1u);  // no "arp -d"
                EXPECT_EQ(bindTimerRan(dlg.hwnd()), entry.refusedFirst);
                EXPECT_FALSE(minimisePending(dlg.hwnd()));
            }
        });
        EXPECT_FALSE(settingExists("timer") || settingExists("gwmac") || settingExists("gwip"));
        EXPECT_FALSE(fileExists(package()));
    }
}

TEST_F(ApplyTest, RemovesThePreviousEntryStoresTheFieldsAsTypedConfirmsThenMinimises) {
    writeSettingString("pwd", kDigest);
    // The registry already holds what is applied first.
    writeSettingString("gwip", "10.0.0.9");
    writeSettingString("gwmac", "0A-B-22-33-44-5");
    writeSettingDword("timer", 30);

    for (int language : {0, 1, 2, 7}) {
        SCOPED_TRACE(language);
        forgetRecorded();
        run([&](MainDriven& dlg) {
            dlg.language = language;
            EXPECT_EQ(dlg.gwip, "10.0.0.9");
            fill(dlg, {{10, 0, 0, 9}, {"0A", "B", "22", "33", "44", "5"}, "30"});
            bool minimiseDuringBox = true;
            std::optional<std::string> storedDuringBox;
            messageBoxes().whileOpen = [&] {
                minimiseDuringBox = minimisePending(dlg.hwnd());
                storedDuringBox = readSettingString("gwmac");
                return IDOK;
            };
            dlg.press(IDC_APPLY);
            expectOneBox(dlg.hwnd(), kSuccess.in(language), "Information", MB_OK | MB_ICONINFORMATION);
            EXPECT_FALSE(minimiseDuringBox);
            EXPECT_EQ(storedDuringBox, "0A-B-22-33-44-5");
            EXPECT_TRUE(minimisePending(dlg.hwnd()));
            EXPECT_TRUE(bindTimerRan(dlg.hwnd()));
            EXPECT_EQ(dlg.gwip, "10.0.0.9");
            EXPECT_EQ(dlg.gwmac, "0A-B-22-33-44-5");
            EXPECT_EQ(dlg.timer, 30);
        });
        // The unchanged address is removed all the same, before the confirmation.
        EXPECT_EQ(events(),
                  (std::vector<std::string>{"run arp -d 10.0.0.9\r\n", std::string("box ") + kSuccess.in(language)}));
        EXPECT_EQ(readSettingString("gwip"), "10.0.0.9");
        EXPECT_EQ(readSettingString("gwmac"), "0A-B-22-33-44-5");
        EXPECT_EQ(readSettingDword("timer"), 30u);
        EXPECT_TRUE(fileExists(shortcut()));
        EXPECT_TRUE(fileExists(package()));
    }

    // A new address whose last field is left blank: the old entry goes, the blank field is stored as 0.
    forgetRecorded();
    run([&](MainDriven& dlg) {
        fill(dlg, {{172, 16, 5, 77}, {"00", "11", "22", "33", "44", "55"}, "2"});
        blankLastIpField(dlg, "77");
        ASSERT_FALSE(SendMessageW(dlg.item(IDC_GATEWAY_IP), IPM_ISBLANK, 0, 0));
        dlg.press(IDC_APPLY);
    });
    EXPECT_EQ(events(), (std::vector<std::string>{"run arp -d 10.0.0.9\r\n", std::string("box ") + kSuccessText}));
    EXPECT_EQ(readSettingString("gwip"), "172.16.5.0");
    EXPECT_EQ(readSettingDword("timer"), 2u);
}

TEST_F(ApplyTest, SettingsThatCannotBeStoredAreReportedAndThePreviousBindingGoesOn) {
    writeSettingString("pwd", kDigest);
    writeSettingString("gwip", "10.0.0.9");
    ASSERT_TRUE(setSettingsKeyAccess(kSettingsWritesRefused));
    run([&](MainDriven& dlg) {
        dlg.startBinding();  // as after the previous Apply
        fill(dlg, {});
        dlg.press(IDC_APPLY);
        EXPECT_TRUE(bindTimerRan(dlg.hwnd()));
        EXPECT_EQ(dlg.gwip, "10.0.0.9");
        dlg.stopBinding();  // without a binding before, none starts
        dlg.press(IDC_APPLY);
        EXPECT_FALSE(bindTimerRan(dlg.hwnd()));
    });
    // No "arp -d" of the previous entry, no package, no success.
    const std::string warning =
        "box Cannot save the settings (timer, gwmac, gwip) in the registry ! The previous settings stay in force.";
    EXPECT_EQ(events(), std::vector<std::string>(2, warning));
    EXPECT_FALSE(fileExists(package()));
}

TEST_F(ApplyTest, AnswerOtherThanOkLeavesTheWindowShownButBinds) {
    writeSettingString("pwd", kDigest);
    run([&](MainDriven& dlg) {
        fill(dlg, {});
        messageBoxes().whileOpen = [] { return IDCANCEL; };
        dlg.press(IDC_APPLY);
        EXPECT_FALSE(minimisePending(dlg.hwnd()));
        EXPECT_TRUE(bindTimerRan(dlg.hwnd()));
    });
}

TEST_F(ApplyTest, ThePackageCarriesTheImageAndTheTextWithTheTokenOfTheRadioButtons) {
    writeSettingString("pwd", kDigest);
    const struct {
        bool yes;
        bool no;
        const char* token;
    } kStates[] = {
        {true, false, kTokenClientAsk},
        {false, true, kTokenClientBind},
        {false, false, kTokenClientBind},
        {true, true, kTokenClientBind},
    };
    const std::string ownImage = readFileBytes(wideToUtf8(ownExecutablePath())).substr(0, kBaseImageSize);
    for (const auto& state : kStates) {
        SCOPED_TRACE(std::to_string(state.yes) + std::to_string(state.no));
        DeleteFileA(package().c_str());
        run([&](MainDriven& dlg) {
            dlg.language = 2;
            fill(dlg, {{192, 168, 0, 254}, {"0", "1", "A2", "33", "44", "F"}, "45"});
            dlg.setEntry(IDC_SYSLOG, "TCP://Collector.Example");
            tick(dlg, IDC_ALLOW_SKIP_YES, state.yes);
            tick(dlg, IDC_ALLOW_SKIP_NO, state.no);
            // Disabled radio buttons still count.
            tick(dlg, IDC_GENERATE_CLIENT, false);
            dlg.press(IDC_GENERATE_CLIENT);
            tick(dlg, IDC_GENERATE_CLIENT, true);
            dlg.press(IDC_APPLY);
        });
        ArpSettings expected;
        expected.language = 2;
        expected.mode = state.token;
        expected.pwd = kDigest;
        expected.timer = 45;
        expected.gwmac = "0-1-A2-33-44-F";
        expected.gwip = "192.168.0.254";
        expected.syslog = "TCP://Collector.Example";  // as typed, like the MAC
        EXPECT_EQ(readSettingString("syslog"), expected.syslog);
        std::string bytes = readFileBytes(package());
        ASSERT_GT(bytes.size(), kBaseImageSize);
        EXPECT_TRUE(bytes.compare(0, kBaseImageSize, ownImage) == 0);
        EXPECT_EQ(bytes.substr(kBaseImageSize), formatClientConfig(expected));
    }
    // Put together in the user's own temp folder, which goes again.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(clientStagingFolder(), std::wstring(temp) + L"XirARP");
    EXPECT_FALSE(stagingFolderExists());
}

TEST_F(ApplyTest, TheCheckBoxEnablesTheClientChoiceWhichKeepsItsSelection) {
    run([&](MainDriven& dlg) {
        tick(dlg, IDC_ALLOW_SKIP_YES, true);
        tick(dlg, IDC_ALLOW_SKIP_NO, false);
        tick(dlg, IDC_GENERATE_CLIENT, false);
        dlg.press(IDC_GENERATE_CLIENT);
        for (int id : {IDC_ALLOW_SKIP_LABEL, IDC_ALLOW_SKIP_YES, IDC_ALLOW_SKIP_NO})
            EXPECT_FALSE(IsWindowEnabled(dlg.item(id))) << id;
        EXPECT_EQ(SendMessageW(dlg.item(IDC_ALLOW_SKIP_YES), BM_GETCHECK, 0, 0), BST_CHECKED);
        tick(dlg, IDC_GENERATE_CLIENT, true);
        dlg.press(IDC_GENERATE_CLIENT);
        for (int id : {IDC_ALLOW_SKIP_LABEL, IDC_ALLOW_SKIP_YES, IDC_ALLOW_SKIP_NO})
            EXPECT_TRUE(IsWindowEnabled(dlg.item(id))) << id;
    });
}

TEST_F(ApplyTest, AnUntickedBoxSkipsThePasswordCheckAndThePackage) {
    run([&](MainDriven& dlg) {
        fill(dlg, {});
        tick(dlg, IDC_GENERATE_CLIENT, false);
        dlg.press(IDC_APPLY);
        expectOneBox(dlg.hwnd(), kSuccessText, "Information", MB_OK | MB_ICONINFORMATION);
        EXPECT_TRUE(bindTimerRan(dlg.hwnd()));
    });
    EXPECT_EQ(readSettingString("gwip"), "192.168.1.1");
    EXPECT_EQ(readSettingString("gwmac"), "00-11-22-33-44-55");
    EXPECT_TRUE(fileExists(shortcut()));
    EXPECT_FALSE(fileExists(package()));
}

// The settings are stored and the old entry is gone before the package step: whatever stops the package, the
// binding goes on and the administrator is told, never congratulated.
TEST_F(ApplyTest, APackageThatDoesNotReachTheDesktopIsReportedAndTheBindingGoesOn) {
    const struct {
        const char* name;
        std::function<void()> spoil;
        int language;
    } kCases[] = {
        // A digest too long for the text's buffer: no text, so no package.
        {"text too long", [] { writeSettingString("pwd", std::string(2000, 'f')); }, 0},
        // Made, but the copy to the desktop fails.
        {"desktop missing", [&] { removeTree(desktop_); }, 1},
        {"no desktop folder", [] { UserFoldersRedirect::forget("Desktop"); }, 2},
    };
    for (const auto& entry : kCases) {
        SCOPED_TRACE(entry.name);
        writeSettingString("pwd", kDigest);
        entry.spoil();
        forgetRecorded();
        bool timerRanDuringBox = false;
        run([&](MainDriven& dlg) {
            dlg.language = entry.language;
            fill(dlg, {});
            messageBoxes().whileOpen = [&] {
                timerRanDuringBox = bindTimerRan(dlg.hwnd());
                return IDOK;
            };
            dlg.press(IDC_APPLY);
            expectOneBox(dlg.hwnd(), kPackage.in(entry.language), "WARNING", MB_OK | MB_ICONEXCLAMATION);
            EXPECT_FALSE(minimisePending(dlg.hwnd()));
        });
        EXPECT_TRUE(timerRanDuringBox);
        EXPECT_EQ(readSettingString("gwip"), "192.168.1.1");
        EXPECT_FALSE(fileExists(package()));
        EXPECT_FALSE(stagingFolderExists());
    }
}

TEST_F(ApplyTest, TheClientModesOnlyRefreshTheShortcutAndStartTheBinding) {
    // What a client copy imported; an administrator's Apply would remove this gateway's entry first.
    writeSettingString("gwip", "10.0.0.9");
    writeSettingString("gwmac", "00-11-22-33-44-55");
    writeSettingDword("timer", 3600);
    for (RunMode mode : {RunMode::ClientAsk, RunMode::ClientBind}) {
        SCOPED_TRACE(static_cast<int>(mode));
        forgetRecorded();
        DeleteFileA(shortcut().c_str());
        setRunMode(mode);
        bool wasVisible = true;
        run([&](MainDriven& dlg) {
            // The opening applied with the box ticked and no password stored: no warning in these modes.
            EXPECT_TRUE(fileExists(shortcut()));
            EXPECT_TRUE(bindTimerRan(dlg.hwnd()));
            wasVisible = IsWindowVisible(dlg.hwnd());
            // Apply again (its button is disabled and its command refused while locked) does the same.
            DeleteFileA(shortcut().c_str());
            dlg.press(IDC_APPLY);
            EXPECT_FALSE(fileExists(shortcut()));
            dlg.OnApply();
            EXPECT_TRUE(fileExists(shortcut()));
            EXPECT_TRUE(bindTimerRan(dlg.hwnd()));
        });
        EXPECT_FALSE(wasVisible);  // the opening's own minimise hid it
        // Nothing but the binding itself, if its first second has passed while the window hid.
        EXPECT_TRUE(messageBoxes().boxes.empty());
        for (const std::string& event : events())
            EXPECT_EQ(event, "run arp -s 10.0.0.9 00-11-22-33-44-55\r\n");
        EXPECT_FALSE(fileExists(package()));
        setRunMode(RunMode::Admin);
    }
}

// The package step on its own, with staging folders of the test.
TEST_F(ApplyTest, PackageFailuresTouchNoOtherFileOfThePackageName) {
    const std::string own = root_ + "\\own.exe";
    const std::wstring ownWide = utf8ToWide(own), desktopWide = utf8ToWide(desktop_);
    const std::string packageName = wideToUtf8(kClientPackageName);
    ASSERT_TRUE(writeFileBytes(own, std::string(kBaseImageSize, 'M') + "old trailer"));
    SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_READONLY);

    // A file where the staging folder should be: nothing is opened, the current folder's file stays.
    const std::string blocked = root_ + "\\blocked";
    ASSERT_TRUE(writeFileBytes(blocked, "not a folder"));
    char previousFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previousFolder);
    SetCurrentDirectoryA(root_.c_str());
    ASSERT_TRUE(writeFileBytes(root_ + "\\" + packageName, "bystander"));
    EXPECT_FALSE(writeClientPackage(ownWide, "TEXT", utf8ToWide(blocked), desktopWide));
    EXPECT_EQ(readFileBytes(root_ + "\\" + packageName), "bystander");
    SetCurrentDirectoryA(previousFolder);
    EXPECT_FALSE(fileExists(package()));

    // A program that cannot be read.
    const std::string staging = root_ + "\\staging";
    const std::wstring stagingWide = utf8ToWide(staging);
    EXPECT_FALSE(writeClientPackage(utf8ToWide(root_ + "\\missing.exe"), "TEXT", stagingWide, desktopWide));
    EXPECT_EQ(GetFileAttributesA(staging.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(fileExists(package()));

    // A desktop that does not exist: made, not delivered, cleaned up.
    EXPECT_FALSE(writeClientPackage(ownWide, "TEXT", stagingWide, utf8ToWide(root_ + "\\nowhere")));
    EXPECT_EQ(GetFileAttributesA(staging.c_str()), INVALID_FILE_ATTRIBUTES);

    // A read-only program carrying bytes behind its image: the package holds the image and the new text
    // only, and replaces an older package.
    ASSERT_TRUE(writeFileBytes(package(), "older package"));
    EXPECT_TRUE(writeClientPackage(ownWide, "TEXT", stagingWide, desktopWide));
    EXPECT_EQ(readFileBytes(package()), std::string(kBaseImageSize, 'M') + "TEXT");
    EXPECT_EQ(GetFileAttributesA(staging.c_str()), INVALID_FILE_ATTRIBUTES);
    SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The service box at Apply, row after row on one machine: elevated and ticked, the image goes under Program Files with
// the machine key and the event source, and the service is defined and started, told of new settings, or stopped
// while an older image is replaced; unticked, it goes; a limited copy only warns; a refused step replaces the success.
TEST_F(ApplyTest, TheServiceBoxInstallsUpdatesAndRemovesTheServiceOrSaysWhyNot) {
    writeSettingString("pwd", kDigest);
    const OwnImageHold hold(ownExecutablePath());  // as start-up takes it
    const std::string image = wideToUtf8(serviceImagePath());
    const std::string ownImage = readFileBytes(wideToUtf8(ownExecutablePath())).substr(0, kBaseImageSize);
    const char* const kMachineKey = "SOFTWARE\\Xir\\XirARP";
    const char* const kLogKey = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\XirARP";
    const std::string kNeedsAdmin = "To install the service, XirARP must be run as administrator once !";
    using State = ServiceState;
    static bool elevated;
    seams().processElevated = [] { return elevated; };
    struct {
        bool elevated, ticked;
        State before;
        std::function<void()> spoil;
        std::vector<std::string> calls, boxes;
        bool installed;
    } kRows[] = {
        {true, true, State::Missing, [] {}, {"define", "start"}, {kSuccessText}, true},
        {true, true, State::Running, [] {}, {"define", "control 6"}, {kSuccessText}, true},
        {true, true, State::Running, [&] { writeFileBytes(image, "old"); }, {"control 1", "define", "start"},
         {kSuccessText}, true},
        {true, true, State::Stopped, [] { fakeServiceManager().refuse = "define"; }, {"define"},
         {"The XirARP service could not be installed !"}, true},
        {true, true, State::Stopped, [] { fakeServiceManager().refuse = "start"; }, {"define", "start"},
         {"The XirARP service is installed but could not be started !"}, true},
        {false, true, State::Missing, [] {}, {}, {kSuccessText, kNeedsAdmin}, true},
        {false, false, State::Running, [] {}, {}, {kSuccessText}, true},
        {true, false, State::Running, [] {}, {"control 1", "remove"}, {kSuccessText}, false},
        {true, true, State::Missing, [] {}, {"define", "start"}, {kSuccessText}, true},
    };
    // The previous entry goes after the service is dealt with: a service still pinning the old pair would put it back.
    // The first Apply has no previous gateway.
    for (auto& row : kRows)
        if (&row != kRows)
            row.calls.push_back("arp -d");
    for (const auto& row : kRows) {
        SCOPED_TRACE(&row - kRows);
        forgetRecorded();
        seams().runCommand = [](const char* line, int, ProgramLookup) {
            if (std::string(line).rfind("arp -d", 0) == 0)
                fakeServiceManager().calls.push_back("arp -d");
            return 33u;
        };
        fakeServiceManager() = FakeServiceManager();
        fakeServiceManager().state = row.before;
        elevated = row.elevated;
        row.spoil();
        run([&](MainDriven& dlg) {
            fill(dlg, {});
            dlg.setEntry(IDC_SYSLOG, "collector.example:1514");
            tick(dlg, IDC_SERVICE, row.ticked);
            dlg.press(IDC_APPLY);
        });
        EXPECT_EQ(fakeServiceManager().calls, row.calls);
        std::vector<std::string> boxes;
        for (const ShownBox& box : takeShownBoxes())
            boxes.push_back(box.text);
        EXPECT_EQ(boxes, row.boxes);
        EXPECT_EQ(readSettingDword("service"), row.ticked ? 1u : 0u);
        EXPECT_NE(packageTail().find(row.ticked ? "dword:00000001\r\n" : "dword:00000000\r\n"), std::string::npos);
        EXPECT_EQ(readFileBytes(image) == ownImage, row.installed);
        EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kMachineKey, "gwip").has_value(), row.installed);
        EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kLogKey, "EventMessageFile").value_or(""),
                  row.installed ? image : "");
    }
    const ServiceDefinition& defined = fakeServiceManager().defined;
    EXPECT_EQ(wideToUtf8(defined.commandLine) + wideToUtf8(defined.name) + wideToUtf8(defined.displayName) +
                  wideToUtf8(defined.account),
              "\"" + image + "\" /serviceXirARPXirARP Gateway GuardLocalSystem");
    EXPECT_TRUE(defined.serviceType == SERVICE_WIN32_OWN_PROCESS && defined.startType == SERVICE_AUTO_START);
    EXPECT_TRUE(defined.restartDelaysMs == std::vector<DWORD>({5000, 5000, 60000}) &&
                defined.failureResetSeconds == 86400);
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, kMachineKey, "timer"), 30u);
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kMachineKey, "syslog"), "collector.example:1514");
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, kLogKey, "TypesSupported"), 7u);
    EXPECT_TRUE(removeService());

    // A limited client copy shows the imported choice, disabled, and warns in a balloon, not a box.
    static std::wstring balloon;
    seams().notifyIconWide = [](unsigned long, void* data) {
        balloon += static_cast<NOTIFYICONDATAW*>(data)->szInfo;
        return true;
    };
    elevated = false;
    forgetRecorded();
    writeSettingDword("service", 1);
    setRunMode(RunMode::ClientBind);
    run([&](MainDriven& dlg) {
        HWND box = dlg.item(IDC_SERVICE);
        EXPECT_TRUE(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED && !IsWindowEnabled(box));
    });
    EXPECT_TRUE(takeShownBoxes().empty());
    EXPECT_EQ(balloon, utf8ToWide(kNeedsAdmin));

    // Elevated, it installs a missing service and then changes nothing while the service pins its pair with its
    // image; limited, it says nothing beside that service; and with a package older than the service (unticked) it
    // never removes it. Its package names no collector: the machine key's, as Group Policy wrote it, stays.
    fakeServiceManager() = FakeServiceManager();
    removeSetting("syslog");
    CRegStringValue(kMachineSyslogValuePath, "", HKEY_LOCAL_MACHINE).store("udp://policy.example");
    for (auto [rights, ticked, calls] : {std::tuple{true, true, "define start "}, {true, true, ""},
                                         {false, true, ""}, {true, false, ""}}) {
        balloon.clear();
        elevated = rights;
        fakeServiceManager().calls.clear();
        writeSettingDword("service", ticked ? 1 : 0);
        run([](MainDriven&) {});
        std::string made;
        for (const std::string& call : fakeServiceManager().calls)
            made += call + " ";
        EXPECT_EQ(made, calls);
        EXPECT_TRUE(balloon.empty());
    }
    EXPECT_EQ(readRegistryText(HKEY_LOCAL_MACHINE, kMachineKey, "syslog"), "udp://policy.example");
    EXPECT_TRUE(fileExists(image));
    EXPECT_TRUE(removeService());
}
