// The main window run for real: opening, languages, the small handlers and the logo.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/arp_settings.h"
#include "res/resource.h"
#include "settings_window_fixture.h"
#include "sys/text_encoding.h"
#include "ui/main_dlg.h"
#include "ui/maker_site.h"

namespace {

using settings_window::MainWindow;

uint16_t g_langId = 1033;
std::vector<std::string> g_opened;

// The settings window with the system language and the shell's "open" under the test's control.
class MainWindowTest : public settings_window::SettingsWindowTest {
protected:
    void SetUp() override {
        SettingsWindowTest::SetUp();
        g_langId = 1033;
        g_opened.clear();
        seams().systemDefaultLangId = [] { return g_langId; };
        seams().shellOpen = [](const char* address, int) -> intptr_t {
            g_opened.push_back(address);
            return 42;
        };
    }

    // The stored "language", or -2 when there is none.
    static long long storedLanguage() {
        std::optional<DWORD> language = readSettingDword("language");
        return language ? static_cast<long long>(*language) : -2;
    }
    static std::string ipText(HWND control) {
        DWORD address = 0;
        SendMessageW(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        return std::to_string(FIRST_IPADDRESS(address)) + "." + std::to_string(SECOND_IPADDRESS(address)) + "." +
               std::to_string(THIRD_IPADDRESS(address)) + "." + std::to_string(FOURTH_IPADDRESS(address));
    }
};

}  // namespace

TEST_F(MainWindowTest, OpensWithTheStoredSettingsAndPingsNothing) {
    writeSettingDword("language", 2);
    writeSettingDword("timer", 300);
    writeSettingString("gwip", "10.0.0.1");
    writeSettingString("gwmac", "0:1a:2b:3c:4d:5e");
    writeSettingString("syslog", "udp://192.0.2.5");
    run([](MainWindow& w) {
        EXPECT_EQ(w.caption(), "XirARP Utility v0.4");
        EXPECT_EQ(w.text(IDC_SYSLOG), "udp://192.0.2.5");
        EXPECT_EQ(w.text(IDC_LOCAL_GROUP), "本機資訊");
        EXPECT_EQ(w.text(IDC_INTERVAL), "300");
        EXPECT_EQ(ipText(w.item(IDC_GATEWAY_IP)), "10.0.0.1");
        EXPECT_EQ(ipText(w.item(IDC_LOCAL_IP)), "192.168.1.23");
        const char* gateway[] = {"00", "1A", "2B", "3C", "4D", "5E"};
        const char* local[] = {"00", "0C", "29", "AB", "CD", "EF"};
        const int localIds[] = {IDC_LOCAL_MAC1, IDC_LOCAL_MAC2, IDC_LOCAL_MAC3,
                                IDC_LOCAL_MAC4, IDC_LOCAL_MAC5, IDC_LOCAL_MAC6};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(w.text(IDC_GATEWAY_MAC1 + i), gateway[i]);
            EXPECT_EQ(w.text(localIds[i]), local[i]);
            EXPECT_FALSE(IsWindowEnabled(w.item(localIds[i])));
        }
        EXPECT_FALSE(IsWindowEnabled(w.item(IDC_LOCAL_IP)));
        EXPECT_EQ(SendMessageW(w.item(IDC_LANGUAGE), CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(SendMessageW(w.item(IDC_GENERATE_CLIENT), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(w.item(IDC_ALLOW_SKIP_NO), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(w.item(IDC_ALLOW_SKIP_YES), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_FALSE(w.locked);
        EXPECT_EQ(w.gwmac, "0:1a:2b:3c:4d:5e");
        EXPECT_EQ(w.timer, 300);
    });
    EXPECT_TRUE(fakeNetwork().commands.empty());
    EXPECT_TRUE(fakeNetwork().waits.empty());
    EXPECT_EQ(fakeNetwork().tableReads, 0);
}

TEST_F(MainWindowTest, WithNothingStoredTheSystemLanguageIsShownAndStored) {
    struct Case {
        uint16_t langId;
        const char* groupText;
        long long stored;
    };
    for (const Case& c : {Case{2052, "本机网卡", 1}, Case{1028, "本機資訊", 2}, Case{1033, "Local Information", -2}}) {
        removeProgramSettings();
        g_langId = c.langId;
        std::string group;
        std::string interval;
        run([&](MainWindow& w) {
            group = w.text(IDC_LOCAL_GROUP);
            interval = w.text(IDC_INTERVAL);
        });
        EXPECT_EQ(group, c.groupText) << c.langId;
        EXPECT_EQ(interval, "60") << c.langId;
        EXPECT_EQ(storedLanguage(), c.stored) << c.langId;
    }
}

TEST_F(MainWindowTest, AStoredLanguageWinsAndAnUnknownOneShowsEnglishAndStoresMinusOne) {
    g_langId = 2052;
    writeSettingDword("language", 2);
    std::string group;
    run([&](MainWindow& w) { group = w.text(IDC_LOCAL_GROUP); });
    EXPECT_EQ(group, "本機資訊");

    writeSettingDword("language", 7);
    writeSettingDword("timer", 0);
    run([&](MainWindow& w) {
        group = w.text(IDC_LOCAL_GROUP);
        EXPECT_EQ(SendMessageW(w.item(IDC_LANGUAGE), CB_GETCURSEL, 0, 0), CB_ERR);
        EXPECT_EQ(w.language, -1);
        EXPECT_EQ(w.text(IDC_INTERVAL), "60");
    });
    EXPECT_EQ(group, "Local Information");
    EXPECT_EQ(storedLanguage(), 0xFFFFFFFFll);
}

TEST_F(MainWindowTest, TheLanguageSwitchSetsEveryTextStoresTheNumberAndSwapsTheLogo) {
    run([](MainWindow& w) {
        selectLanguage(w.hwnd(), 1);
        EXPECT_EQ(storedLanguage(), 1);
        EXPECT_EQ(w.text(IDC_ARP_GROUP), "网关MAC设置");
        EXPECT_EQ(w.text(IDC_GENERATE_CLIENT), "在桌面创建用戶绑定程序");
        EXPECT_EQ(w.text(IDC_INTERVAL_LABEL), "自动绑定网关的MAC地址每隔");
        EXPECT_EQ(w.text(IDC_UNINSTALL), "卸载");
        HBITMAP simplifiedLogo = w.shownLogo();
        BITMAP info{};
        ASSERT_TRUE(GetObjectW(simplifiedLogo, sizeof info, &info));
        EXPECT_EQ(info.bmWidth, 170);
        EXPECT_EQ(info.bmHeight, 62);

        selectLanguage(w.hwnd(), 2);
        EXPECT_EQ(storedLanguage(), 2);
        EXPECT_EQ(w.text(IDC_GATEWAY_IP_LABEL), "Gateway IP");
        EXPECT_EQ(w.text(IDC_UNINSTALL), "移除設定");
        EXPECT_EQ(w.text(IDC_INTERVAL_LABEL), "自動綁定IP與MAC 每隔");
        EXPECT_EQ(GetObjectType(simplifiedLogo), 0u) << "the replaced logo is deleted";

        selectLanguage(w.hwnd(), 0);
        EXPECT_EQ(storedLanguage(), 0);
        EXPECT_EQ(w.text(IDC_INTERVAL_LABEL), "IP and MAC binding  Interval");
        EXPECT_EQ(w.text(IDC_GENERATE_CLIENT), "Generate XirARP-Client for User");
        EXPECT_EQ(w.text(IDC_SECONDS_LABEL), "secs");
        // Never translated.
        EXPECT_EQ(w.text(IDC_LANGUAGE), "English");
    });
}

TEST_F(MainWindowTest, ManyLanguageSwitchesKeepOnlyTheShownLogo) {
    run([](MainWindow& w) {
        std::vector<HBITMAP> replaced;
        for (int i = 0; i < 150; ++i) {
            replaced.push_back(w.shownLogo());
            selectLanguage(w.hwnd(), i % 3);
        }
        int alive = 0;
        for (HBITMAP logo : replaced)
            alive += GetObjectType(logo) != 0 && logo != w.shownLogo();
        EXPECT_EQ(alive, 0);
        EXPECT_NE(GetObjectType(w.shownLogo()), 0u);
    });
}

TEST_F(MainWindowTest, CancelClearsTheGatewayFieldsButNotTheMembers) {
    writeSettingDword("timer", 300);
    writeSettingString("gwip", "10.0.0.1");
    writeSettingString("gwmac", "00-11-22-33-44-55");
    run([](MainWindow& w) {
        w.press(IDC_CLEAR_FIELDS);
        EXPECT_NE(SendMessageW(w.item(IDC_GATEWAY_IP), IPM_ISBLANK, 0, 0), 0);
        for (int id = IDC_GATEWAY_MAC1; id <= IDC_GATEWAY_MAC6; ++id)
            EXPECT_EQ(w.text(id), "");
        EXPECT_EQ(w.text(IDC_INTERVAL), "60");
        EXPECT_EQ(w.gwip, "10.0.0.1");
        EXPECT_EQ(w.gwmac, "00-11-22-33-44-55");
        EXPECT_EQ(w.timer, 300);
        EXPECT_EQ(w.gatewayMac[5], "55");
        EXPECT_TRUE(IsWindow(w.hwnd()));
    });
}

TEST_F(MainWindowTest, EnterDoesNotEndTheProgramButExitDoes) {
    bool openAfterEnter = false;
    MainWindow window([&](MainWindow& w) {
        SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        openAfterEnter = IsWindow(w.hwnd()) && IsWindowVisible(w.hwnd());
    });
    EXPECT_EQ(window.DoModal(), dialog_test::kStillOpen);
    EXPECT_TRUE(openAfterEnter);

    MainWindow exiting([](MainWindow& w) { w.press(IDC_EXIT); });
    EXPECT_EQ(exiting.DoModal(), IDCANCEL);
}

TEST_F(MainWindowTest, TheDragIconIsTheApplicationIcon) {
    run([](MainWindow& w) {
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_XIRARP));
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(w.hwnd(), WM_QUERYDRAGICON, 0, 0)), icon);
    });
}

TEST_F(MainWindowTest, TheLogoOpensTheSiteOfTheLanguageUpToItsRightAndBottomEdges) {
    run([](MainWindow& w) {
        RECT logo;
        GetWindowRect(w.item(IDC_LOGO), &logo);
        MapWindowPoints(nullptr, w.hwnd(), reinterpret_cast<POINT*>(&logo), 2);
        auto click = [&](LONG x, LONG y) { SendMessageW(w.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); };

        click(logo.right, logo.bottom);
        click(logo.left, logo.top);
        click(logo.right + 1, logo.top);
        click(logo.left, logo.bottom + 1);
        click(logo.left - 1, logo.top);
        ASSERT_EQ(g_opened.size(), 2u);
        EXPECT_EQ(g_opened[0], kMakerSiteOther);

        selectLanguage(w.hwnd(), 1);
        click(logo.left + 5, logo.top + 5);
        ASSERT_EQ(g_opened.size(), 3u);
        EXPECT_EQ(g_opened[2], kMakerSiteSimplifiedChinese);

        HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR));
        SetCursor(nullptr);
        SendMessageW(w.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(logo.right, logo.bottom));
        EXPECT_EQ(GetCursor(), hand);
    });
}

TEST_F(MainWindowTest, TheTimerBindsTheWindowsGatewayPair) {
    writeSettingString("gwip", "10.0.0.1");
    writeSettingString("gwmac", "00-00-00-00-00-01");
    run([](MainWindow& w) {
        w.timer = 60;
        w.gwip = "192.168.1.1";
        w.gwmac = "00-11-22-33-44-55";
        SendMessageW(w.hwnd(), WM_TIMER, 1, 0);
        SendMessageW(w.hwnd(), WM_TIMER, 2, 0);
    });
    ASSERT_EQ(fakeNetwork().commands.size(), 1u);
    EXPECT_EQ(fakeNetwork().commands[0], "arp -s 192.168.1.1 00-11-22-33-44-55\r\n");
}

TEST_F(MainWindowTest, NothingStoredShowsTheAdaptersGatewayAndLearnsItsMac) {
    ArpRow row;
    row.addr = 0x0101A8C0;  // 192.168.1.1 in network byte order
    row.physAddrLen = 6;
    row.type = 3;  // learnt dynamically
    const uint8_t mac[6] = {0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03};
    memcpy(row.physAddr, mac, 6);
    fakeNetwork().rows = {row};
    run([](MainWindow& w) {
        EXPECT_EQ(ipText(w.item(IDC_GATEWAY_IP)), "192.168.1.1");
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC1), "AA");
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC6), "03");
        EXPECT_EQ(w.gwmac, "AA-BB-CC-01-02-03");
        EXPECT_EQ(w.gwip, "");
    });
    ASSERT_EQ(fakeNetwork().commands.size(), 1u);
    EXPECT_EQ(fakeNetwork().commands[0], "ping 192.168.1.1\n");
}
