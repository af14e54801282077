// The checks of the gateway MAC bytes and the interval, driven by real focus moves in the running window.
#include "settings_window_fixture.h"
#include "sys/ui_text.h"

using namespace settings_window;

namespace {

constexpr unsigned kInformation = MB_OK | MB_ICONINFORMATION;
const char* const kMacRange = "The value is out of range [00~FF] !";
const char* const kIntervalRange = "The value is out of range [1~3600] !";

class FieldCheck : public SettingsWindowTest {
  protected:
    void SetUp() override {
        SettingsWindowTest::SetUp();
        writeSettingString("gwmac", "00-11-22-33-44-55");
        writeSettingString("gwip", "192.168.1.1");
        writeSettingDword("timer", 300);
    }

    // Types into a field as the keyboard would (the edit's own style applies) and moves the focus on.
    static void enter(MainWindow& window, int id, const std::wstring& keys, int next = IDC_APPLY) {
        SetFocus(window.item(id));
        window.setEntry(id, "");
        window.type(id, keys);
        SetFocus(window.item(next));
    }

    static void expectNoBox() { EXPECT_TRUE(takeShownBoxes().empty()); }

    static void expectOneBox(const MainWindow& window, const std::string& text) {
        ::expectOneBox(window.hwnd(), text, "Information", kInformation);
    }
};

}  // namespace

TEST_F(FieldCheck, MacBytesKeepOneOrTwoHexDigitsAndOtherwiseGetThePreviousValueBack) {
    run([](MainWindow& w) {
        ASSERT_EQ(w.text(IDC_GATEWAY_MAC3), "22");

        for (const wchar_t* refused : {L"1g", L"1\""}) {  // a leading digit is not enough
            enter(w, IDC_GATEWAY_MAC1, refused);
            expectOneBox(w, kMacRange);
            EXPECT_EQ(w.text(IDC_GATEWAY_MAC1), "00");
            EXPECT_EQ(w.gatewayMac[0], "00");
        }

        enter(w, IDC_GATEWAY_MAC2, L"7");  // one digit stays one digit
        expectNoBox();
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC2), "7");
        EXPECT_EQ(w.gatewayMac[1], "7");

        enter(w, IDC_GATEWAY_MAC2, L"");  // the previous one-digit value comes back with two digits
        expectOneBox(w, kMacRange);
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC2), "07");
        EXPECT_EQ(w.gatewayMac[1], "07");


        enter(w, IDC_GATEWAY_MAC3, L"g5", IDC_GATEWAY_MAC4);  // from one checked field to the next
        expectOneBox(w, kMacRange);
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC3), "22");
        EXPECT_EQ(w.gatewayMac[2], "22");
        EXPECT_EQ(GetFocus(), w.item(IDC_GATEWAY_MAC4));  // the check leaves the focus where it went

        enter(w, IDC_GATEWAY_MAC6, L"ff");
        expectNoBox();
        EXPECT_EQ(w.gatewayMac[5], "FF");
        EXPECT_EQ(w.gatewayMac[3], "33");  // the others untouched
    });
}

TEST_F(FieldCheck, TheIntervalTakesOneTo3600AndOtherwiseGetsThePreviousNumberBack) {
    run([](MainWindow& w) {
        ASSERT_EQ(w.text(IDC_INTERVAL), "300");
        for (const wchar_t* refused : {L"0", L"3601", L"9999", L"", L"abc", L"0000"}) {
            SCOPED_TRACE(wideToUtf8(refused));
            enter(w, IDC_INTERVAL, refused);
            expectOneBox(w, kIntervalRange);
            EXPECT_EQ(w.text(IDC_INTERVAL), "300");
            EXPECT_EQ(w.intervalText, "300");
        }
        enter(w, IDC_INTERVAL, L"3600");
        expectNoBox();
        enter(w, IDC_INTERVAL, L"1");
        expectNoBox();
        EXPECT_EQ(w.intervalText, "1");
        enter(w, IDC_INTERVAL, L"36000");  // the fifth digit cannot be typed
        expectNoBox();
        EXPECT_EQ(w.intervalText, "3600");
        EXPECT_EQ(w.timer, 300);  // the check does not touch the setting itself
    });
}

// The collector takes what its sender takes, as typed; anything else gives way to the previous text with a warning.
TEST_F(FieldCheck, TheSyslogCollectorTakesWhatTheSenderTakesAndOtherwiseGetsThePreviousTextBack) {
    run([](MainWindow& w) {
        enter(w, IDC_SYSLOG, L"TCP://Collector.Example:6514");
        expectNoBox();
        enter(w, IDC_SYSLOG, L"tls://collector.example");
        ::expectOneBox(w.hwnd(), uiText(IDS_SYSLOG_REFUSED, 0), "WARNING", MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(w.syslogText, "TCP://Collector.Example:6514");
        enter(w, IDC_SYSLOG, L"");  // no syslog
        expectNoBox();
    });
}

TEST_F(FieldCheck, WithoutAPreviousNumberTheFieldIsEmptied) {
    run([](MainWindow& w) {
        w.press(IDC_CLEAR_FIELDS);  // blank fields reach the members with the next data exchange
        selectLanguage(w.hwnd(), 0);
        ASSERT_EQ(w.gatewayMac[0], "");
        ASSERT_EQ(w.intervalText, "60");
        takeShownBoxes();

        enter(w, IDC_GATEWAY_MAC1, L"x");
        expectOneBox(w, kMacRange);
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC1), "");
        EXPECT_EQ(w.gatewayMac[0], "");

        // A previous text that is no MAC byte does not come back.
        w.setEntry(IDC_GATEWAY_MAC2, "1G");
        w.UpdateData(true);
        enter(w, IDC_GATEWAY_MAC2, L"");
        expectOneBox(w, kMacRange);
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC2), "");
        EXPECT_EQ(w.gatewayMac[1], "");
    });
}

TEST_F(FieldCheck, MovingTheFocusAmongOtherControlsChecksNothing) {
    run([](MainWindow& w) {
        SetFocus(w.item(IDC_APPLY));
        // Texts that a check would refuse or take over, put in without the focus.
        w.setEntry(IDC_GATEWAY_MAC1, "AB");
        w.setEntry(IDC_GATEWAY_MAC2, "");
        w.setEntry(IDC_INTERVAL, "0");
        for (int id : {IDC_CLEAR_FIELDS, IDC_GATEWAY_IP, IDC_LANGUAGE, IDC_GENERATE_CLIENT, IDC_ALLOW_SKIP_YES,
                       IDC_CHANGE_PASSWORD, IDC_GATEWAY_IP, IDC_UNINSTALL})
            SetFocus(w.item(id));
        SetFocus(w.item(IDC_APPLY));
        expectNoBox();
        EXPECT_EQ(w.gatewayMac[0], "00");  // no data exchange ran either
        EXPECT_EQ(w.gatewayMac[1], "11");
        EXPECT_EQ(w.intervalText, "300");

        // Leaving a checked field does run its check.
        SetFocus(w.item(IDC_GATEWAY_MAC1));
        SetFocus(w.item(IDC_APPLY));
        expectNoBox();
        EXPECT_EQ(w.gatewayMac[0], "AB");
        EXPECT_EQ(w.gatewayMac[1], "");
        w.setEntry(IDC_GATEWAY_MAC2, "11");
        w.setEntry(IDC_INTERVAL, "300");
    });
}

TEST_F(FieldCheck, TheMessageFollowsTheWindowsLanguage) {
    run([](MainWindow& w) {
        selectLanguage(w.hwnd(), 1);
        enter(w, IDC_GATEWAY_MAC4, L"");
        expectOneBox(w, "该值范围不能超过 [00~FF] !");
        selectLanguage(w.hwnd(), 2);
        enter(w, IDC_INTERVAL, L"0");
        expectOneBox(w, "設定超出範圍 [1~3600] !");
        selectLanguage(w.hwnd(), 0);
        enter(w, IDC_INTERVAL, L"0");
        expectOneBox(w, kIntervalRange);
    });
}

// A real message box takes the focus from the edit the user moved to; focus moves while the message is up
// check nothing further.
TEST_F(FieldCheck, FocusMovesWhileTheMessageIsUpCheckNothingFurther) {
    run([](MainWindow& w) {
        w.setEntry(IDC_GATEWAY_MAC3, "");
        messageBoxes().whileOpen = [&w] {
            SetFocus(w.item(IDC_GATEWAY_MAC3));
            SetFocus(w.item(IDC_GATEWAY_MAC2));
            return IDOK;
        };
        enter(w, IDC_GATEWAY_MAC1, L"", IDC_GATEWAY_MAC2);
        expectOneBox(w, kMacRange);
        EXPECT_EQ(w.text(IDC_GATEWAY_MAC1), "00");
        messageBoxes().whileOpen = nullptr;

        SetFocus(w.item(IDC_GATEWAY_MAC3));  // leaving the emptied field later does check it
        SetFocus(w.item(IDC_APPLY));
        expectOneBox(w, kMacRange);
        w.setEntry(IDC_GATEWAY_MAC3, "22");
    });
}
