// Settings edited by hand in the registry: wrong types, huge texts, out-of-range numbers. The real
// program must open with defined field contents, keep answering, end cleanly, and store nothing by
// merely opening except the language number its language handling writes when it differs.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "robustness_support.h"
#include "steps/sandbox.h"
#include "support/registry.h"

using namespace robustness;

namespace {

std::string stringBytes(const std::string& text) {
    return text + '\0';
}

std::string multiStringBytes(const std::string& first, const std::string& second) {
    return first + '\0' + second + '\0' + '\0';
}

// A megabyte of text that looks almost like the value it replaces.
std::string megabyteOf(const std::string& unit) {
    std::string text;
    text.reserve(1u << 20);
    while (text.size() + unit.size() <= (1u << 20))
        text += unit;
    return text;
}

bool gatewayIpBlank(HWND window) {
    return sendToControl(GetDlgItem(window, IDC_GATEWAY_IP), IPM_ISBLANK) != 0;
}

// The address control's four fields joined with dots (its address cannot be asked across processes).
std::string gatewayIpText(HWND window) {
    std::string text;
    for (HWND field = GetWindow(GetDlgItem(window, IDC_GATEWAY_IP), GW_CHILD); field;
         field = GetWindow(field, GW_HWNDNEXT))
        text += (text.empty() ? "" : ".") + windowText(field);
    return text;
}

bool gatewayMacBlank(HWND window) {
    for (int id = IDC_GATEWAY_MAC1; id < IDC_GATEWAY_MAC1 + 6; ++id)
        if (!fieldText(window, id).empty())
            return false;
    return true;
}

class RobustnessRegistry : public CleanSettingsTest {
  protected:
    // Starts the administrator program on the settings as they are now; the caller checks the window.
    HWND open(RunningProgram& program, const std::string& what) {
        before_ = settingsSnapshot();
        StartupSeen seen = driveStartup(program);
        expectNoCrash(program, what);
        EXPECT_EQ(seen.mode, SeenMode::Admin) << what << ": opened as " << modeName(seen.mode);
        EXPECT_TRUE(seen.messages.empty()) << what << ": unexpected message \"" << seen.messages.front() << "\"";
        if (seen.window) {
            EXPECT_EQ(windowText(seen.window), kMainCaption) << what;
            EXPECT_TRUE(IsWindowVisible(seen.window)) << what;
        }
        return seen.window;
    }

    // The settings after opening: as before, except the values named in `changed`.
    void expectSettings(const SettingsSnapshot& changed, const std::string& what) {
        SettingsSnapshot expected = before_;
        for (const auto& [name, value] : changed)
            expected[name] = value;
        SettingsSnapshot now = settingsSnapshot();
        EXPECT_TRUE(now == expected) << what << ": the registry changed by opening the window.\n  expected: "
                                     << describe(expected) << "\n  found:    " << describe(now);
    }

    SettingsSnapshot before_;
};

RawValue dwordValue(DWORD value) {
    return RawValue{REG_DWORD, dwordBytes(value)};
}

}  // namespace

// A value of another type than the program writes counts as missing: the numbers take their defaults (the
// system's language, English here, and the interval 60) and nothing is stored by opening; texts stored as
// numbers, binaries or other kinds of text never reach the fields.
TEST_F(RobustnessRegistry, ValuesOfTheWrongTypeCountAsMissing) {
    struct Case {
        const char* what;
        DWORD languageType;
        std::string language;
        DWORD timerType;
        std::string timer;
        bool quick;  // part of the quick run
    };
    const Case cases[] = {
        // Read as raw bytes, "300" would be the interval 3,158,067 and "1" the language 49.
        {"text for both numbers", REG_SZ, stringBytes("1"), REG_SZ, stringBytes("300"), true},
        {"short binary numbers", REG_BINARY, std::string("\x02", 1), REG_BINARY, std::string("\x2C\x01", 2), true},
        {"long binary and multi-string numbers", REG_MULTI_SZ, multiStringBytes("1", "2"), REG_BINARY,
         std::string("\x2C\x01\x00\x00\x00\x00\x00\x00", 8), false},
    };
    for (const Case& c : cases) {
        if (!c.quick && !longRun())
            continue;
        SCOPED_TRACE(c.what);
        removeProgramSettings();
        setRawSetting("language", c.languageType, c.language);
        setRawSetting("timer", c.timerType, c.timer);
        setRawSetting("gwip", REG_BINARY, stringBytes("10.9.8.7"));
        setRawSetting("gwmac", REG_EXPAND_SZ, stringBytes("0A-0B-0C-0D-0E-0F"));
        setRawSetting("pwd", REG_MULTI_SZ, multiStringBytes("0123456789abcdef0123456789abcdef", "second"));

        Sandbox sandbox("robust-types");
        RunningProgram program(sandbox.copyProgram(), sandbox.folder());
        HWND window = open(program, c.what);
        ASSERT_TRUE(window);
        EXPECT_EQ(fieldText(window, IDC_INTERVAL), "60");
        EXPECT_EQ(selectedLanguage(window), 0);
        EXPECT_EQ(fieldText(window, IDC_APPLY), "Apply");
        // Blank, or what this machine's own adapter gives when nothing is stored.
        EXPECT_NE(gatewayIpText(window), "10.9.8.7");
        EXPECT_NE(fieldText(window, IDC_GATEWAY_MAC1 + 5), "0F");
        expectSettings({}, c.what);
        expectCleanExit(program, window, c.what);
    }
}

// Intervals outside 1 to 3600, which the 4-character field could not hold or would refuse, open as the default
// 60 (nothing stored, too); and language numbers the window does not know.
TEST_F(RobustnessRegistry, OutOfRangeIntervalsAndUnknownLanguagesOpenWithDefinedFields) {
    struct Case {
        DWORD timer;
        const char* interval;
        DWORD language;
        int selection;
        bool stores;        // the language handling writes language...
        DWORD storedLanguage;  // ...this number
        bool quick;
    };
    const Case cases[] = {
        {0xFFFFFFFF, "60", 0xFFFFFFFF, -1, false, 0, false},  // already the "no entry" number: nothing written
        {0x80000000, "60", 7, -1, true, 0xFFFFFFFF, true},
        {0x7FFFFFFF, "60", 99, 0, true, 0, true},  // 99 means "not chosen": the system's English, stored
        {99999, "60", 0, 0, false, 0, true},
        {0, "60", 0x80000000, -1, true, 0xFFFFFFFF, false},
    };
    for (const Case& c : cases) {
        if (!c.quick && !longRun())
            continue;
        std::string what = "timer " + std::to_string(c.timer) + ", language " + std::to_string(c.language);
        SCOPED_TRACE(what);
        removeProgramSettings();
        writeSettingDword("timer", c.timer);
        writeSettingDword("language", c.language);
        writeSettingString("pwd", "0123456789abcdef0123456789abcdef");

        Sandbox sandbox("robust-numbers");
        RunningProgram program(sandbox.copyProgram(), sandbox.folder());
        HWND window = open(program, what);
        ASSERT_TRUE(window);
        EXPECT_EQ(fieldText(window, IDC_INTERVAL), c.interval);
        EXPECT_EQ(selectedLanguage(window), c.selection);
        EXPECT_EQ(fieldText(window, IDC_APPLY), "Apply");
        SettingsSnapshot changed;
        if (c.stores)
            changed["language"] = dwordValue(c.storedLanguage);
        expectSettings(changed, what);
        expectCleanExit(program, window, what);
    }
}

// A megabyte in each text value: no address, no MAC, the registry untouched; the unlock dialog compares
// the typed password against the huge stored one and refuses it without harm.
TEST_F(RobustnessRegistry, MegabyteTextsOpenBlankAndTheUnlockRefusesTheDefaultPassword) {
    writeSettingString("gwip", megabyteOf("192.168.1.1."));
    writeSettingString("gwmac", megabyteOf("AA-"));
    writeSettingString("pwd", megabyteOf("0123456789abcdef"));
    const std::string what = "megabyte gwip, gwmac and pwd";

    Sandbox sandbox("robust-huge");
    RunningProgram program(sandbox.copyProgram(), sandbox.folder());
    HWND window = open(program, what);
    ASSERT_TRUE(window);
    EXPECT_TRUE(gatewayIpBlank(window));
    EXPECT_TRUE(gatewayMacBlank(window));
    EXPECT_EQ(fieldText(window, IDC_INTERVAL), "60");
    EXPECT_EQ(selectedLanguage(window), 0);
    expectSettings({}, what);

    // Hide and lock it, then ask to unlock with the default password: a stored digest is in force.
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(waitUntilHidden(window));
    ASSERT_TRUE(chooseFromIconMenu(window, program.processId(), 0)) << "the icon's menu did not open";
    HWND unlock = waitForDialog(program.processId(), kUnlockDialogCaption);
    ASSERT_TRUE(unlock);
    sendToControl(GetDlgItem(unlock, IDC_UNLOCK_PASSWORD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"mauve"));
    clickButton(unlock, IDOK);
    answerMessageBox(program.processId(), nullptr, "Wrong Password ! Please input again !");
    clickButton(unlock, IDCANCEL);
    waitUntilGone(unlock);
    EXPECT_FALSE(IsWindowVisible(window));
    expectNoCrash(program, what);
    expectSettings({}, what);
    expectCleanExit(program, window, what);
}

// A valid gateway address with a megabyte MAC text, and texts stored without their terminating zero or
// with a second string behind the first, or with a variable that is not a MAC.
TEST_F(RobustnessRegistry, AValidAddressBesideBrokenMacTextsShowsNoMac) {
    struct Case {
        const char* what;
        DWORD gwipType;
        std::string gwip;
        DWORD gwmacType;
        std::string gwmac;
    };
    const Case cases[] = {
        {"megabyte gwmac", REG_SZ, stringBytes("192.168.1.1"), REG_SZ, stringBytes(megabyteOf("AA-"))},
        {"unterminated texts", REG_SZ, "192.168.1.1", REG_SZ, "00-11-22-33-44-5G"},
        {"second strings behind the texts", REG_SZ, multiStringBytes("192.168.1.1", "10.0.0.1"), REG_SZ,
         stringBytes("%PATH%-11-22-33-44-55")},
    };
    for (const Case& c : cases) {
        if (&c != &cases[0] && !longRun())
            continue;
        SCOPED_TRACE(c.what);
        removeProgramSettings();
        setRawSetting("gwip", c.gwipType, c.gwip);
        setRawSetting("gwmac", c.gwmacType, c.gwmac);

        Sandbox sandbox("robust-mac");
        RunningProgram program(sandbox.copyProgram(), sandbox.folder());
        HWND window = open(program, c.what);
        ASSERT_TRUE(window);
        EXPECT_TRUE(gatewayMacBlank(window));
        // Shown only when this machine has an adapter to show it for; never anything else.
        if (!gatewayIpBlank(window)) {
            EXPECT_EQ(gatewayIpText(window), "192.168.1.1");
        }
        expectSettings({}, c.what);
        expectCleanExit(program, window, c.what);
    }
}
