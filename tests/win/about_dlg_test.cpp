#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/dialog_driver.h"
#include "support/registry.h"
#include "sys/text_encoding.h"
#include "ui/main_dlg.h"

namespace {

using DrivenAbout = dialog_test::Driven<CAboutDlg>;

std::string className(HWND window) {
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

// A control as the template places it, in dialog units.
struct ExpectedControl {
    const char* className;
    const char* text;  // null: an icon, sized by its icon and named by its resource
    int id;
    RECT units;  // left, top, width, height
};

const ExpectedControl kControls[] = {
    {"Static", nullptr, -1, {11, 17, 20, 20}},
    {"Static", "XirARP Utility Version 0.4", -1, {40, 10, 119, 8}},
    {"Static", "Copyright (C) 2026 Xir", -1, {40, 25, 140, 8}},
    {"Button", "OK", IDOK, {170, 7, 50, 14}},
    {"Static", "http://www.example.org/xirarp/", -1, {40, 40, 140, 8}},
};

RECT unitsToPixels(HWND dialog, RECT units) {
    RECT rect{units.left, units.top, units.left + units.right, units.top + units.bottom};
    MapDialogRect(dialog, &rect);
    return rect;
}

void expectTemplateAndTexts(HWND dialog) {
    EXPECT_EQ(windowText(dialog), "About XirARP Utility");
    LONG style = GetWindowLongW(dialog, GWL_STYLE);
    for (LONG bit : {LONG(DS_MODALFRAME), LONG(WS_POPUP), LONG(WS_CAPTION), LONG(WS_SYSMENU)})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    RECT client;
    GetClientRect(dialog, &client);
    RECT size = unitsToPixels(dialog, {0, 0, 227, 55});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dialog);
    HGDIOBJ oldFont = SelectObject(dc, font);
    size_t index = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, std::size(kControls));
        const ExpectedControl& expected = kControls[index];
        SCOPED_TRACE(expected.text ? expected.text : "icon");
        EXPECT_EQ(className(child), expected.className);
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        RECT placed;
        GetWindowRect(child, &placed);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
        RECT wanted = unitsToPixels(dialog, expected.units);
        EXPECT_EQ(placed.left, wanted.left);
        EXPECT_EQ(placed.top, wanted.top);
        if (!expected.text)
            continue;
        EXPECT_EQ(windowText(child), expected.text);
        EXPECT_EQ(placed.right, wanted.right);
        EXPECT_EQ(placed.bottom, wanted.bottom);
        // Every text fits its control in the dialog's own font.
        std::wstring text = utf8ToWide(expected.text);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
        EXPECT_LE(extent.cx, placed.right - placed.left);
    }
    EXPECT_EQ(index, std::size(kControls));
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);

    HWND icon = GetWindow(dialog, GW_CHILD);
    EXPECT_EQ(GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK, SS_ICON);
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
    HWND name = GetWindow(icon, GW_HWNDNEXT);
    EXPECT_TRUE(GetWindowLongW(name, GWL_STYLE) & SS_NOPREFIX);
    HWND ok = GetDlgItem(dialog, IDOK);
    EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & (BS_DEFPUSHBUTTON | WS_TABSTOP), BS_DEFPUSHBUTTON | WS_TABSTOP);
    EXPECT_EQ(GetFocus(), ok);
}

class AboutDlgTest : public CleanSettingsTest {};

}  // namespace

TEST_F(AboutDlgTest, ShowsItsTemplateInEnglishWhateverTheLanguage) {
    for (int language : {-1, 1, 2}) {
        SCOPED_TRACE(language);
        if (language >= 0)
            writeSettingDword("language", DWORD(language));
        INT_PTR result = dialog_test::runModal<CAboutDlg>([](DrivenAbout& dlg) {
            expectTemplateAndTexts(dlg.hwnd());
            clickButton(dlg.hwnd(), IDOK);
        });
        EXPECT_EQ(result, IDOK);
    }
}

TEST_F(AboutDlgTest, EnterEscAndTheCloseBoxEndIt) {
    // Each run ends with Wine waiting about two seconds for the unmapped window, so the ways stay few.
    const struct {
        const char* way;
        std::function<void(HWND)> act;
        INT_PTR result;
    } kWays[] = {
        {"Enter", [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1); }, IDOK},
        {"Esc", [](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1); }, IDCANCEL},
        {"close box", [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    for (const auto& way : kWays) {
        SCOPED_TRACE(way.way);
        EXPECT_EQ(dialog_test::runModal<CAboutDlg>([&](DrivenAbout& dlg) { way.act(dlg.hwnd()); }), way.result);
    }
}
