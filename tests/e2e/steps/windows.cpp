#include "steps/windows.h"

#include <vector>

namespace {

struct Search {
    DWORD processId;
    bool wantMessageBox;
    std::wstring caption;
    HWND found = nullptr;
};

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty())
        return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                     nullptr);
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
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return buffer.data();
}

bool isDialog(HWND window) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    return wcscmp(className, L"#32770") == 0;
}

BOOL CALLBACK visit(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !isDialog(window))
        return TRUE;
    bool messageBox = GetDlgItem(window, 0xFFFF) != nullptr;
    if (messageBox != search->wantMessageBox)
        return TRUE;
    if (!search->caption.empty() && wideText(window) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND poll(Search search, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        search.found = nullptr;
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start > milliseconds)
            return search.found;
        Sleep(50);
    }
}

}  // namespace

HWND waitForDialog(DWORD processId, const std::string& caption, DWORD milliseconds) {
    return poll(Search{processId, false, toWide(caption)}, milliseconds);
}

MessageBoxSeen waitForMessageBox(DWORD processId, DWORD milliseconds) {
    MessageBoxSeen seen;
    seen.window = poll(Search{processId, true, L""}, milliseconds);
    if (seen.window) {
        seen.caption = windowText(seen.window);
        seen.text = windowText(GetDlgItem(seen.window, 0xFFFF));
    }
    return seen;
}

bool hasMessageBox(DWORD processId) {
    return poll(Search{processId, true, L""}, 0) != nullptr;
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
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(50);
    }
    return true;
}

bool waitUntilVisible(HWND window, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (IsWindow(window) && !IsWindowVisible(window)) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(50);
    }
    return IsWindow(window);
}

bool waitUntilGone(HWND window, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(50);
    }
    return true;
}

bool waitUntilTrue(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
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

namespace {

struct MenuSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK findShownMenu(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<MenuSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (owner != search->processId || wcscmp(className, L"#32768") != 0 || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND waitForShownMenu(DWORD processId) {
    DWORD start = GetTickCount();
    for (;;) {
        MenuSearch search{processId};
        EnumWindows(findShownMenu, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start > kWindowDeadlineMs)
            return search.found;
        Sleep(50);
    }
}

}  // namespace

// The menu runs its own loop in the program, which reads the keys posted to the menu window.
bool chooseFromIconMenu(HWND mainWindow, DWORD processId, int position) {
    PostMessageW(mainWindow, kTrayCallbackMessage, 1, WM_RBUTTONDOWN);
    HWND menu = waitForShownMenu(processId);
    if (!menu)
        return false;
    for (int step = 0; step <= position; ++step)
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

bool unlockFromIconMenu(HWND mainWindow, DWORD processId, const wchar_t* password, const std::string& unlockCaption) {
    constexpr int kPasswordEntry = 1018;
    constexpr int kExitButton = 1022;  // enabled in every run mode once unlocked
    if (!chooseFromIconMenu(mainWindow, processId))
        return false;
    HWND unlock = waitForDialog(processId, unlockCaption);
    if (!unlock)
        return false;
    setControlText(GetDlgItem(unlock, kPasswordEntry), password);
    clickButton(unlock, IDOK);
    return waitUntilGone(unlock) && waitUntilVisible(mainWindow) &&
           waitUntilTrue([&] { return IsWindowEnabled(GetDlgItem(mainWindow, kExitButton)) != FALSE; });
}
