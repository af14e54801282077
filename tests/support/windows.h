#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Finding and working the program's windows, whether it runs in another process or in the test's own. Texts
// are read only through messages sent to the window itself (GetWindowText does not cross processes).

// Captions the tests find the program's windows by (English).
inline const char* const kMainCaption = "XirARP Utility v0.4";
inline const char* const kAboutBoxCaption = "About XirARP Utility";
inline const char* const kUnlockDialogCaption = "UnLock";
inline const char* const kChangePasswordDialogCaption = "Change Password";

constexpr DWORD kWindowDeadlineMs = 30000;  // the first window of a fresh Wine session can be slow

// Every deadline of the steps stretches by the whole number in XIRARP_TEST_PATIENCE (default 1), for
// runs where everything is many times slower, as inside the full-system emulator.
DWORD patient(DWORD milliseconds);
// Whether a wait begun at start (GetTickCount) has used up its stretched time.
bool pastDeadline(DWORD start, DWORD milliseconds);

// A top-level dialog ("#32770", not a message box) of the process whose caption equals the given text (any
// caption if empty), shown or not yet; null if there is none now.
HWND findDialog(DWORD processId, const std::string& caption = "");
HWND waitForDialog(DWORD processId, const std::string& caption = "", DWORD milliseconds = kWindowDeadlineMs);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
};
// A message box of the process: a dialog with the static text control 65535.
MessageBoxSeen waitForMessageBox(DWORD processId, DWORD milliseconds = kWindowDeadlineMs);
bool hasMessageBox(DWORD processId);
// Answers the message box the process shows next with the button and checks what it says (its caption too
// unless null); returns once the box is gone, so that the next box looked for is a new one.
void answerMessageBox(DWORD processId, const char* caption, const char* text, int button = IDOK);

// The popup menu ("#32768") the process shows now; null if none.
HWND findShownMenu(DWORD processId);
// Picks the item at the given position (0 = first) of a shown popup menu with the keyboard, as a user would:
// the first Down selects the first item. The menu's own loop reads the posted keys.
void chooseMenuItem(HWND menuWindow, int position);

std::string windowText(HWND window);  // UTF-8
// Clicks a button of a window the way a user's click reaches its owner (posted: a click that opens a modal
// loop does not hold the caller).
void clickButton(HWND dialog, int buttonId);
bool waitUntilHidden(HWND window, DWORD milliseconds = kWindowDeadlineMs);
// The window exists before it shows: the opening may wait for the network first.
bool waitUntilVisible(HWND window, DWORD milliseconds = kWindowDeadlineMs);
bool waitUntilGone(HWND window, DWORD milliseconds = kWindowDeadlineMs);
// Polls the condition until it holds; false after the time. What another process makes comes later.
bool waitUntilTrue(const std::function<bool()>& condition, DWORD milliseconds = kWindowDeadlineMs);

// Controls of another process's window, set the way a user's typing or clicking would leave them.
void setControlText(HWND control, const wchar_t* text);
LRESULT sendToControl(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Picks the language at the index in the main window's selector and tells the window, as a user's choice does.
void selectLanguage(HWND mainWindow, int index);

// Right-clicks the program's notification-area icon as the shell reports it and picks the menu item at
// the given position (0 = first) with the keyboard. False when the menu did not open.
bool chooseFromIconMenu(HWND mainWindow, DWORD processId, int position = 0);

// "UnLock" from the icon's menu with the password typed into the unlock dialog (caption as shown in the
// program's language); true once the dialog accepted it and the main window shows again, unlocked.
bool unlockFromIconMenu(HWND mainWindow,
                        DWORD processId,
                        const wchar_t* password,
                        const std::string& unlockCaption = kUnlockDialogCaption);
