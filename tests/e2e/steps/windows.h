#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Finding and working another process's windows. Texts cross the process boundary only through
// messages sent to the control itself, never through GetWindowText.

constexpr DWORD kWindowDeadlineMs = 30000;  // the first window of a fresh Wine session can be slow

// A top-level dialog ("#32770") of the process whose caption equals the given text (any caption if empty).
HWND waitForDialog(DWORD processId, const std::string& caption = "", DWORD milliseconds = kWindowDeadlineMs);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
};
// A message box of the process: a dialog with the static text control 65535.
MessageBoxSeen waitForMessageBox(DWORD processId, DWORD milliseconds = kWindowDeadlineMs);
bool hasMessageBox(DWORD processId);

std::string windowText(HWND window);  // UTF-8
// Clicks a button of a window the way a user's click reaches its owner.
void clickButton(HWND dialog, int buttonId);
bool waitUntilHidden(HWND window, DWORD milliseconds = kWindowDeadlineMs);
// The window exists before it shows: the opening may wait for the network first.
bool waitUntilVisible(HWND window, DWORD milliseconds = kWindowDeadlineMs);
bool waitUntilGone(HWND window, DWORD milliseconds = kWindowDeadlineMs);
// Polls the condition until it holds; false after the time. What another process makes comes later.
bool waitUntilTrue(const std::function<bool()>& condition, DWORD milliseconds = kWindowDeadlineMs);

// Controls of another process's window, set the way a user's typing or clicking would leave them.
void setControlText(HWND control, const wchar_t* text);
LRESULT sendToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// Right-clicks the program's notification-area icon as the shell reports it and picks the menu item at
// the given position (0 = first) with the keyboard. False when the menu did not open.
constexpr UINT kTrayCallbackMessage = WM_USER + 11;
bool chooseFromIconMenu(HWND mainWindow, DWORD processId, int position = 0);

// "UnLock" from the icon's menu with the password typed into the unlock dialog (caption as shown in the
// program's language); true once the dialog accepted it and the main window shows again, unlocked.
bool unlockFromIconMenu(HWND mainWindow, DWORD processId, const wchar_t* password,
                        const std::string& unlockCaption = "UnLock");
