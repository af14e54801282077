#include "support/windows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "res/resource.h"
#include "ui/main_dlg.h"

namespace {

// What a search of the process's top-level windows looks for.
enum class Kind { Dialog, MessageBox, ShownMenu };

struct Search {
    DWORD processId;
    Kind kind;
    std::wstring caption;  // dialogs only; empty: any
    HWND found = nullptr;
};

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty())
        return {};
    int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr, nullptr);
    return text;
}

std::wstring toWide(const std::string& utf8) {
    if (utf8.empty())
        return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::wstring wideText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                        5000, &copied);
    return buffer.data();
}

bool hasClass(HWND window, const wchar_t* wanted) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    return wcscmp(className, wanted) == 0;
}

bool matches(HWND window, const Search& search) {
    if (search.kind == Kind::ShownMenu)
        return hasClass(window, L"#32768") && IsWindowVisible(window);
    if (!hasClass(window, L"#32770"))
        return false;
    bool messageBox = GetDlgItem(window, 0xFFFF) != nullptr;
    if (messageBox != (search.kind == Kind::MessageBox))
        return false;
    return search.caption.empty() || wideText(window) == search.caption;
}

BOOL CALLBACK visit(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !matches(window, *search))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND find(Search search) {
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

DWORD patient(DWORD milliseconds) {
    static const DWORD factor = [] {
        char text[8] = {};
        DWORD length = GetEnvironmentVariableA("XIRARP_TEST_PATIENCE", text, sizeof text);
        int value = length > 0 && length < sizeof text ? atoi(text) : 1;
        return static_cast<DWORD>(value >= 1 && value <= 100 ? value : 1);
    }();
    return milliseconds * factor;
}

bool pastDeadline(DWORD start, DWORD milliseconds) {
    return GetTickCount() - start > patient(milliseconds);
}

namespace {

HWND poll(const Search& search, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = find(search);
        if (found || pastDeadline(start, milliseconds))
            return found;
        Sleep(50);
    }
}

}  // namespace

HWND findDialog(DWORD processId, const std::string& caption) {
    return find(Search{processId, Kind::Dialog, toWide(caption)});
}

HWND waitForDialog(DWORD processId, const std::string& caption, DWORD milliseconds) {
    return poll(Search{processId, Kind::Dialog, toWide(caption)}, milliseconds);
}

MessageBoxSeen waitForMessageBox(DWORD processId, DWORD milliseconds) {
    MessageBoxSeen seen;
    seen.window = poll(Search{processId, Kind::MessageBox, L""}, milliseconds);
    // The box exists before its texts: they are set while it opens (its message last).
    if (seen.window && waitUntilTrue([&] { return !windowText(GetDlgItem(seen.window, 0xFFFF)).empty(); },
                                     milliseconds)) {
        seen.caption = windowText(seen.window);
        seen.text = windowText(GetDlgItem(seen.window, 0xFFFF));
    }
    return seen;
}

bool hasMessageBox(DWORD processId) {
    return find(Search{processId, Kind::MessageBox, L""}) != nullptr;
}

void answerMessageBox(DWORD processId, const char* caption, const char* text, int button) {
    MessageBoxSeen box = waitForMessageBox(processId);
    ASSERT_TRUE(box.window) << "no message box saying: " << text;
    if (caption) {
        EXPECT_EQ(box.caption, caption);
    }
    EXPECT_EQ(box.text, text);
    clickButton(box.window, button);
    EXPECT_TRUE(waitUntilGone(box.window));
}

HWND findShownMenu(DWORD processId) {
    return find(Search{processId, Kind::ShownMenu, L""});
}

void chooseMenuItem(HWND menuWindow, int position) {
    for (int step = 0; step <= position; ++step)
        PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
}

std::string windowText(HWND window) {
    return toUtf8(wideText(window));
}

void clickButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

bool waitUntilHidden(HWND window, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (pastDeadline(start, milliseconds))
            return false;
        Sleep(50);
    }
    return true;
}

bool waitUntilVisible(HWND window, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (IsWindow(window) && !IsWindowVisible(window)) {
        if (pastDeadline(start, milliseconds))
            return false;
        Sleep(50);
    }
    return IsWindow(window);
}

bool waitUntilGone(HWND window, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (pastDeadline(start, milliseconds))
            return false;
        Sleep(50);
    }
    return true;
}

bool waitUntilTrue(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (pastDeadline(start, milliseconds))
            return false;
        Sleep(50);
    }
    return true;
}

void setControlText(HWND control, const wchar_t* text) {
    sendToControl(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

LRESULT sendToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

void selectLanguage(HWND mainWindow, int index) {
    HWND selector = GetDlgItem(mainWindow, IDC_LANGUAGE);
    sendToControl(selector, CB_SETCURSEL, static_cast<WPARAM>(index));
    sendToControl(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(selector));
}

// The menu runs its own loop in the program.
bool chooseFromIconMenu(HWND mainWindow, DWORD processId, int position) {
    PostMessageW(mainWindow, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = poll(Search{processId, Kind::ShownMenu, L""}, kWindowDeadlineMs);
    if (!menu)
        return false;
    chooseMenuItem(menu, position);
    return true;
}

bool unlockFromIconMenu(HWND mainWindow, DWORD processId, const wchar_t* password, const std::string& unlockCaption) {
    if (!chooseFromIconMenu(mainWindow, processId))
        return false;
    HWND unlock = waitForDialog(processId, unlockCaption);
    if (!unlock)
        return false;
    setControlText(GetDlgItem(unlock, IDC_UNLOCK_PASSWORD), password);
    clickButton(unlock, IDOK);
    // "Exit" is enabled in every run mode once unlocked.
    return waitUntilGone(unlock) && waitUntilVisible(mainWindow) &&
           waitUntilTrue([&] { return IsWindowEnabled(GetDlgItem(mainWindow, IDC_EXIT)) != FALSE; });
}
