#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "auth/password_dialogs.h"
#include "res/resource.h"

namespace {

constexpr WORD kButtonClass = 0x80;
constexpr WORD kEditClass = 0x81;
constexpr WORD kStaticClass = 0x82;

struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    DWORD id;
    WORD classAtom;
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    WORD weight = 0;
    std::wstring typeface;
    std::vector<TemplateItem> items;
};

// Reads an extended dialog template as the dialog manager does.
class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : at_(data) {}
    WORD word() { return take<WORD>(); }
    DWORD dword() { return take<DWORD>(); }
    short number() { return take<short>(); }
    BYTE byte() { return take<BYTE>(); }
    std::wstring text() {
        std::wstring result;
        for (WORD c = word(); c != 0; c = word())
            result += static_cast<wchar_t>(c);
        return result;
    }
    // Names or ordinals (menu, class): the ordinal, or 0 for a name or nothing.
    WORD nameOrOrdinal() {
        WORD first = word();
        if (first == 0xFFFF)
            return word();
        if (first != 0)
            while (word() != 0) {
            }
        return 0;
    }
    void alignToDword(const BYTE* base) {
        while ((at_ - base) % 4 != 0)
            ++at_;
    }
    void skip(size_t bytes) { at_ += bytes; }

  private:
    template <typename T>
    T take() {
        T value;
        memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    const BYTE* at_;
};

DialogTemplate loadTemplate(UINT id) {
    DialogTemplate result;
    HRSRC resource =
        FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    if (!resource)
        return result;
    const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleW(nullptr), resource)));
    TemplateReader reader(base);
    if (reader.word() != 1 || reader.word() != 0xFFFF)
        return result;  // not an extended template
    reader.dword();     // help id
    reader.dword();     // extended style
    result.style = reader.dword();
    WORD count = reader.word();
    reader.number();
    reader.number();
    result.cx = reader.number();
    result.cy = reader.number();
    reader.nameOrOrdinal();  // menu
    reader.nameOrOrdinal();  // class
    result.caption = reader.text();
    if (result.style & (DS_SETFONT | DS_SHELLFONT)) {
        result.pointSize = reader.word();
        result.weight = reader.word();
        reader.byte();  // italic
        reader.byte();  // character set
        result.typeface = reader.text();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.alignToDword(base);
        TemplateItem item{};
        reader.dword();  // help id
        reader.dword();  // extended style
        item.style = reader.dword();
        item.x = reader.number();
        item.y = reader.number();
        item.cx = reader.number();
        item.cy = reader.number();
        item.id = reader.dword();
        item.classAtom = reader.nameOrOrdinal();
        reader.nameOrOrdinal();  // title
        reader.skip(reader.word());
        result.items.push_back(item);
    }
    return result;
}

const TemplateItem* findItem(const DialogTemplate& dialog, DWORD id) {
    for (const TemplateItem& item : dialog.items)
        if (item.id == id)
            return &item;
    return nullptr;
}

struct ExpectedControl {
    DWORD id;
    WORD classAtom;
    DWORD kind;  // BS_ type, SS_ type, or the edit's required styles
    short x, y, cx, cy;
};

void expectDialog(UINT templateId,
                  short cx,
                  short cy,
                  const wchar_t* caption,
                  const std::vector<ExpectedControl>& controls) {
    DialogTemplate dialog = loadTemplate(templateId);
    EXPECT_EQ(dialog.style & ~DS_SETFONT, static_cast<DWORD>(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(dialog.cx, cx);
    EXPECT_EQ(dialog.cy, cy);
    EXPECT_EQ(dialog.caption, caption);
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_TRUE(dialog.weight == 0 || dialog.weight == FW_NORMAL) << dialog.weight;
    EXPECT_EQ(dialog.typeface, L"Arial");
    ASSERT_EQ(dialog.items.size(), controls.size());

    const DWORD editStyle = ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    for (const ExpectedControl& expected : controls) {
        SCOPED_TRACE(expected.id);
        const TemplateItem* item = findItem(dialog, expected.id);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->classAtom, expected.classAtom);
        EXPECT_EQ(item->x, expected.x);
        EXPECT_EQ(item->y, expected.y);
        EXPECT_EQ(item->cx, expected.cx);
        EXPECT_EQ(item->cy, expected.cy);
        EXPECT_TRUE(item->style & WS_VISIBLE);
        if (expected.classAtom == kEditClass) {
            EXPECT_EQ(item->style & editStyle, editStyle);
            EXPECT_EQ(item->style & ES_MULTILINE, 0u);
        } else if (expected.classAtom == kButtonClass) {
            EXPECT_EQ(item->style & BS_TYPEMASK, expected.kind);
            EXPECT_TRUE(item->style & WS_TABSTOP);
        } else {
            EXPECT_EQ(item->style & SS_TYPEMASK, expected.kind);
            EXPECT_FALSE(item->style & WS_TABSTOP);
        }
    }
    // The first tab stop, where the focus starts, is the first entry.
    for (const TemplateItem& item : dialog.items) {
        if (item.style & WS_TABSTOP) {
            EXPECT_EQ(item.classAtom, kEditClass);
            EXPECT_EQ(item.id, controls.front().id);
            break;
        }
    }
}

}  // namespace

TEST(PasswordDialogTemplates, UnlockLayout) {
    expectDialog(IDD_UNLOCK, 112, 37, L"UnLock",
                 {{IDC_UNLOCK_PASSWORD, kEditClass, 0, 48, 3, 60, 12},
                  {IDOK, kButtonClass, BS_DEFPUSHBUTTON, 12, 18, 35, 16},
                  {IDCANCEL, kButtonClass, BS_PUSHBUTTON, 64, 18, 35, 16},
                  {IDC_UNLOCK_PASSWORD_LABEL, kStaticClass, SS_RIGHT, 5, 5, 40, 12}});
}

TEST(PasswordDialogTemplates, ChangePasswordLayout) {
    expectDialog(IDD_CHANGE_PASSWORD, 163, 75, L"Change Password",
                 {{IDC_CHANGE_OLD_PASSWORD, kEditClass, 0, 86, 5, 70, 12},
                  {IDC_CHANGE_NEW_PASSWORD, kEditClass, 0, 86, 21, 70, 12},
                  {IDC_CHANGE_CONFIRM_PASSWORD, kEditClass, 0, 86, 37, 70, 12},
                  {IDOK, kButtonClass, BS_DEFPUSHBUTTON, 22, 55, 40, 16},
                  {IDCANCEL, kButtonClass, BS_PUSHBUTTON, 97, 55, 40, 16},
                  {IDC_CHANGE_OLD_LABEL, kStaticClass, SS_RIGHT, 3, 7, 80, 12},
                  {IDC_CHANGE_NEW_LABEL, kStaticClass, SS_RIGHT, 3, 23, 80, 12},
                  {IDC_CHANGE_CONFIRM_LABEL, kStaticClass, SS_RIGHT, 3, 39, 80, 12}});
}

// On a double-byte code page a Chinese character takes two of the twenty bytes, as in an ANSI entry.
TEST(PasswordEntryLimit, CountsBytesOfTheCodePage) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 200, 20, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    PasswordEntryLimit limit(20, 936);
    auto type = [&](const std::wstring& keys) {
        for (wchar_t key : keys) {
            SendMessageW(edit, WM_CHAR, key, 1);
            limit.OnChange(edit);
        }
    };
    auto text = [&] {
        wchar_t buffer[64] = {};
        GetWindowTextW(edit, buffer, 64);
        return std::wstring(buffer);
    };

    const std::wstring tenChinese = L"\x5bc6\x7801\x5bc6\x7801\x5bc6\x7801\x5bc6\x7801\x5bc6\x7801";
    type(tenChinese + L"\x5bc6" + L"x");
    EXPECT_EQ(text(), tenChinese);

    SetWindowTextW(edit, L"abcdefghijklmnopqrs");  // 19 bytes: room for one more byte only
    limit.OnChange(edit);
    SendMessageW(edit, EM_SETSEL, 3, 3);
    type(L"\x5bc6");
    EXPECT_EQ(text(), L"abcdefghijklmnopqrs");
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u);
    type(L"!");
    EXPECT_EQ(text(), L"abc!defghijklmnopqrs");

    // Pasting over a selection is refused as a whole when the result would not fit.
    SendMessageW(edit, EM_SETSEL, 0, 2);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\x5bc6\x7801"));
    limit.OnChange(edit);
    EXPECT_EQ(text(), L"abc!defghijklmnopqrs");
    DestroyWindow(edit);
}
