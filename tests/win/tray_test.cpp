// The main window's notification-area icon, its menu and the lock state, driven inside the window's own
// message loop. Nested modal loops (the popup menu, the password dialogs, the About box) are answered by
// thread timers, which those loops keep delivering.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/run_mode.h"
#include "config/arp_settings.h"
#include "net_fake_seams.h"
#include "res/resource.h"
#include "support/dialog_driver.h"
#include "support/registry.h"
#include "support/windows.h"
#include "sys/seams.h"
#include "sys/text_encoding.h"
#include "ui/main_dlg.h"
#include "ui/maker_site.h"

namespace {

using MainDriven = dialog_test::Driven<CArpMainDlg>;

// The eighteen controls the lock governs: first the three an unlocked client may use.
constexpr int kLockedControls[] = {
    IDC_LANGUAGE,      IDC_UNINSTALL,    IDC_EXIT,         IDC_GENERATE_CLIENT, IDC_ALLOW_SKIP_YES,
    IDC_ALLOW_SKIP_NO, IDC_GATEWAY_IP,   IDC_GATEWAY_MAC1, IDC_GATEWAY_MAC2,    IDC_GATEWAY_MAC3,
    IDC_GATEWAY_MAC4,  IDC_GATEWAY_MAC5, IDC_GATEWAY_MAC6, IDC_INTERVAL,        IDC_CHANGE_PASSWORD,
    IDC_APPLY,         IDC_CLEAR_FIELDS, IDC_SERVICE};
const std::string kAllEnabled(18, 'E');
const std::string kAllDisabled(18, '-');
const std::string kClientUnlocked = "EEE" + std::string(15, '-');

// 'E' or '-' for each of the eighteen controls, in table order.
std::string enabledPattern(HWND window) {
    std::string pattern;
    for (int id : kLockedControls)
        pattern += IsWindowEnabled(GetDlgItem(window, id)) ? 'E' : '-';
    return pattern;
}

struct IconCall {
    unsigned long message;
    NOTIFYICONDATAA data;
    bool iconAlive;  // the icon handle was a live icon while the shell was called
};

enum class Look { Gone, Normal, Alert };

struct WideIconCall {
    unsigned long message;
    NOTIFYICONDATAW data;
    Look look;
};

struct Recorder {
    int refusedAdds = 0;          // the shell refuses this many adds, as while it starts at logon
    bool refusedChanges = false;  // and changes too: there is no icon to change
    std::vector<IconCall> iconCalls;
    std::vector<WideIconCall> wideCalls;
    std::vector<std::pair<std::string, int>> opened;  // address, show command
};

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

bool iconAlive(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

// The warning look is the red shield, the usual one blue: told by the colours the icon draws.
Look lookOf(HICON icon) {
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 16, 16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    uint8_t* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const bool drawn = iconAlive(icon) && DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    long redOverBlue = 0;
    for (int i = 0; bits && i < 16 * 16; ++i)
        redOverBlue += bits[4 * i + 2] - bits[4 * i];
    DeleteObject(SelectObject(dc, previous));
    DeleteDC(dc);
    return !drawn ? Look::Gone : redOverBlue > 0 ? Look::Alert : Look::Normal;
}

// A dialog of this thread that opens in a nested modal loop, answered once it shows.
struct DialogAnswer {
    bool seen = false;
    HWND owner = nullptr;
    bool leftOpen = false;  // still open after the answer: closed with Cancel
};

DialogAnswer& dialogAnswer() {
    static DialogAnswer answer;
    return answer;
}

void armAnswer(const char* caption, std::function<void(HWND)> act) {
    dialogAnswer() = DialogAnswer{};
    dialog_test::answerWhenShown(dialog_test::dialogCaptioned(caption), [act](HWND dialog) {
        dialogAnswer() = {true, GetWindow(dialog, GW_OWNER)};
        act(dialog);
        if (IsWindowVisible(dialog)) {
            dialogAnswer().leftOpen = true;
            dialog_test::press(dialog, IDCANCEL);
        }
    });
}

// Types each password into the unlock dialog and presses OK; an empty list presses Cancel.
void armUnlock(std::vector<std::string> passwords) {
    armAnswer(kUnlockDialogCaption, [passwords](HWND dialog) {
        for (const std::string& password : passwords) {
            SetDlgItemTextW(dialog, IDC_UNLOCK_PASSWORD, utf8ToWide(password).c_str());
            dialog_test::press(dialog, IDOK);
        }
        if (passwords.empty())
            dialog_test::press(dialog, IDCANCEL);
    });
}

// What the popup menu showed, and what was done with it.
struct MenuSeen {
    enum Action { Close, ChooseFirst, ChooseSecond };
    bool shown = false;
    std::string texts[2];
    UINT ids[2] = {};
    UINT states[2] = {};
    RECT rect{};
};

MenuSeen& menuSeen() {
    static MenuSeen seen;
    return seen;
}

// Reads the popup menu once it shows, then closes it or picks an item with the keyboard.
void armMenu(MenuSeen::Action action) {
    menuSeen() = MenuSeen{};
    dialog_test::answerWhenShown(dialog_test::shownMenu, [action](HWND menuWindow) {
        MenuSeen& seen = menuSeen();
        seen.shown = true;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < 2; ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            seen.texts[i] = wideToUtf8(text);
            seen.ids[i] = GetMenuItemID(menu, i);
            seen.states[i] = GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_STRING | MF_POPUP);
        }
        GetWindowRect(menuWindow, &seen.rect);
        if (action == MenuSeen::Close)
            EndMenu();
        else
            chooseMenuItem(menuWindow, action == MenuSeen::ChooseFirst ? 0 : 1);
    });
}

LRESULT trayNotify(HWND window, WPARAM iconId, UINT mouseMessage) {
    return SendMessageW(window, kTrayCallbackMessage, iconId, mouseMessage);
}

// Right-clicks the icon and returns what the menu showed; the chosen command has run when this returns.
MenuSeen openMenu(HWND window, MenuSeen::Action action = MenuSeen::Close) {
    armMenu(action);
    EXPECT_EQ(trayNotify(window, 1, WM_RBUTTONDOWN), 1);
    // The chosen command reaches the window as a posted WM_COMMAND.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return menuSeen();
}

// Lets queued showing and painting run, as an idle modal loop would.
void pump() {
    for (int i = 0; i < 5; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

class TrayTest : public FakeNetworkTest {
  protected:
    void SetUp() override {
        FakeNetworkTest::SetUp();
        removeProgramSettings();
        recorder() = Recorder{};
        seams().systemDefaultLangId = [] { return uint16_t(1033); };
        seams().shellOpen = [](const char* address, int show) {
            recorder().opened.emplace_back(address, show);
            return intptr_t(42);
        };
        seams().notifyIcon = [](unsigned long message, void* data) {
            auto* record = static_cast<NOTIFYICONDATAA*>(data);
            recorder().iconCalls.push_back({message, *record, iconAlive(record->hIcon)});
            return message == NIM_ADD ? recorder().refusedAdds-- <= 0
                                      : !(message == NIM_MODIFY && recorder().refusedChanges);
        };
        seams().notifyIconWide = [](unsigned long message, void* data) {
            auto* record = static_cast<NOTIFYICONDATAW*>(data);
            recorder().wideCalls.push_back({message, *record, lookOf(record->hIcon)});
            return true;
        };
        setRunMode(RunMode::Admin);
    }
    void TearDown() override {
        setRunMode(RunMode::Admin);
        dialog_test::forgetPendingAnswers();
        FakeNetworkTest::TearDown();
        removeProgramSettings();
    }

    // Opens the main window in the administrator program and plays the script inside its loop.
    static INT_PTR run(MainDriven::Script script) { return dialog_test::runModal<CArpMainDlg>(std::move(script)); }

    static void expectShownUnlocked(MainDriven& dlg) {
        EXPECT_FALSE(dlg.locked);
        EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
        EXPECT_FALSE(IsIconic(dlg.hwnd()));
        EXPECT_EQ(enabledPattern(dlg.hwnd()), kAllEnabled);
    }
    static void expectShownLocked(MainDriven& dlg) {
        EXPECT_TRUE(dlg.locked);
        EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
        EXPECT_EQ(enabledPattern(dlg.hwnd()), kAllDisabled);
    }
    static void expectHiddenLocked(MainDriven& dlg) {
        pump();
        EXPECT_TRUE(dlg.locked);
        EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
        EXPECT_FALSE(IsIconic(dlg.hwnd()));
    }
};

}  // namespace

TEST_F(TrayTest, IconIsAddedOnceOpenAgainWhenTheTaskbarReturnsAndDeletedAtTheEnd) {
    HWND window = nullptr;
    INT_PTR result = run([&](MainDriven& dlg) {
        window = dlg.hwnd();
        ASSERT_EQ(recorder().iconCalls.size(), 1u);
        const IconCall& add = recorder().iconCalls[0];
        EXPECT_EQ(add.message, unsigned(NIM_ADD));
        EXPECT_EQ(add.data.cbSize, DWORD(NOTIFYICONDATAA_V2_SIZE));
#ifndef _WIN64
        EXPECT_EQ(add.data.cbSize, 488u);
#endif
        EXPECT_EQ(add.data.hWnd, window);
        EXPECT_EQ(add.data.uID, 1u);
        EXPECT_EQ(add.data.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(add.data.uCallbackMessage, UINT(WM_USER + 11));
        EXPECT_TRUE(add.iconAlive);
        EXPECT_STREQ(add.data.szTip, "");
        // The shell keeps its own copy; ours is gone.
        EXPECT_FALSE(iconAlive(add.data.hIcon));

        EXPECT_TRUE(dlg.letTaskbarCreatedThrough());  // an elevated copy hears the broadcast too
        SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        ASSERT_EQ(recorder().iconCalls.size(), 2u);
        EXPECT_EQ(recorder().iconCalls[1].message, unsigned(NIM_ADD));
        EXPECT_EQ(recorder().iconCalls[1].data.hWnd, window);
        EXPECT_EQ(recorder().iconCalls[1].data.uID, 1u);
        dlg.press(IDC_EXIT);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(recorder().iconCalls.size(), 3u);
    const IconCall& removal = recorder().iconCalls[2];
    EXPECT_EQ(removal.message, unsigned(NIM_DELETE));
    EXPECT_EQ(removal.data.hWnd, window);
    EXPECT_EQ(removal.data.uID, 1u);
    EXPECT_EQ(removal.data.cbSize, DWORD(NOTIFYICONDATAA_V2_SIZE));
}

TEST_F(TrayTest, AnIconTheShellRefusesIsAddedAgainEveryTwoSecondsUntilItIsThere) {
    recorder().refusedAdds = 3;
    recorder().refusedChanges = true;
    run([&](MainDriven& dlg) {
        const DWORD start = GetTickCount();
        while (recorder().iconCalls.size() < 3 && GetTickCount() - start < 6000)
            pump();
        EXPECT_GE(GetTickCount() - start, 1000u);  // by the window's timer, not at once
        // A shell that took a timed-out add already has the icon: it takes a change, and the tries end.
        recorder().refusedChanges = false;
        SendMessageW(dlg.hwnd(), WM_TIMER, kTrayRetryTimerId, 0);
        EXPECT_FALSE(KillTimer(dlg.hwnd(), kTrayRetryTimerId));
        ASSERT_EQ(recorder().iconCalls.size(), 6u);  // each refused add, then a change to see whether it is there
        EXPECT_EQ(recorder().iconCalls[4].message, unsigned(NIM_ADD));
        dlg.press(IDC_EXIT);
    });
}

TEST_F(TrayTest, EveryStateAndTransitionOfTheLock) {
    INT_PTR result = run([&](MainDriven& dlg) {
        HWND window = dlg.hwnd();
        expectShownUnlocked(dlg);

        // Left click while unlocked shows the window normally, restoring it.
        ShowWindow(window, SW_MINIMIZE);
        EXPECT_EQ(trayNotify(window, 1, WM_LBUTTONDOWN), 1);
        expectShownUnlocked(dlg);
        EXPECT_TRUE(recorder().opened.empty());

        // "Lock" keeps the window shown and disables all eighteen controls.
        MenuSeen menu = openMenu(window, MenuSeen::ChooseFirst);
        EXPECT_TRUE(menu.shown);
        expectShownLocked(dlg);

        // A left click while locked opens the site and nothing else.
        trayNotify(window, 1, WM_LBUTTONDOWN);
        ASSERT_EQ(recorder().opened.size(), 1u);
        EXPECT_EQ(recorder().opened[0].first, kMakerSiteOther);
        EXPECT_EQ(recorder().opened[0].second, SW_SHOW);
        expectShownLocked(dlg);

        // A cancelled unlock changes nothing; a wrong password is refused inside the dialog.
        armUnlock({});
        openMenu(window, MenuSeen::ChooseFirst);
        EXPECT_TRUE(dialogAnswer().seen);
        EXPECT_EQ(dialogAnswer().owner, window);
        expectShownLocked(dlg);

        armUnlock({"wrong", "mauve"});
        openMenu(window, MenuSeen::ChooseFirst);
        EXPECT_FALSE(dialogAnswer().leftOpen);
        ASSERT_EQ(messageBoxes().boxes.size(), 1u);
        EXPECT_EQ(messageBoxes().boxes[0].text, "Wrong Password ! Please input again !");
        expectShownUnlocked(dlg);

        // Minimising an unlocked window hides and locks it; its controls stay as they were.
        SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        expectHiddenLocked(dlg);
        EXPECT_EQ(enabledPattern(window), kAllEnabled);

        // Hidden and locked: a left click opens the site (in the window's language) and keeps it hidden.
        dlg.language = SimplifiedChinese;
        trayNotify(window, 1, WM_LBUTTONDOWN);
        ASSERT_EQ(recorder().opened.size(), 2u);
        EXPECT_EQ(recorder().opened[1].first, kMakerSiteSimplifiedChinese);
        dlg.language = English;
        expectHiddenLocked(dlg);

        armUnlock({});
        openMenu(window, MenuSeen::ChooseFirst);
        EXPECT_TRUE(dialogAnswer().seen);
        expectHiddenLocked(dlg);
        EXPECT_EQ(enabledPattern(window), kAllDisabled);  // the cancelled unlock still recomputes them

        armUnlock({"mauve"});
        openMenu(window, MenuSeen::ChooseFirst);
        expectShownUnlocked(dlg);

        // Shown and locked, then minimised (the command's low bits do not count): hidden, still disabled.
        openMenu(window, MenuSeen::ChooseFirst);
        expectShownLocked(dlg);
        SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
        expectHiddenLocked(dlg);
        EXPECT_EQ(enabledPattern(window), kAllDisabled);

        armUnlock({"mauve"});
        openMenu(window, MenuSeen::ChooseFirst);
        expectShownUnlocked(dlg);

        // "Exit" from the menu ends the window as cancelled.
        openMenu(window, MenuSeen::ChooseSecond);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(recorder().opened.size(), 2u);
}

// Any program can post the window's commands: while locked only "UnLock" acts, and closing hides the window.
TEST_F(TrayTest, ALockedWindowRunsNoPostedCommandAndHidesWhenClosed) {
    INT_PTR result = run([&](MainDriven& dlg) {
        HWND window = dlg.hwnd();
        openMenu(window, MenuSeen::ChooseFirst);  // Lock
        for (int id : {IDC_APPLY, IDC_UNINSTALL, IDC_EXIT, ID_TRAY_EXIT})
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        pump();
        EXPECT_TRUE(fakeNetwork().commands.empty() && messageBoxes().boxes.empty());
        expectShownLocked(dlg);

        // Esc arrives as IDCANCEL, Alt+F4 and the close box as SC_CLOSE and then WM_CLOSE.
        for (UINT closer : {UINT(WM_COMMAND), UINT(WM_SYSCOMMAND), UINT(WM_CLOSE)}) {
            SendMessageW(window, closer, closer == WM_COMMAND ? IDCANCEL : closer == WM_SYSCOMMAND ? SC_CLOSE : 0, 0);
            expectHiddenLocked(dlg);
            armUnlock({"mauve"});
            openMenu(window, MenuSeen::ChooseFirst);
            openMenu(window, MenuSeen::ChooseFirst);  // Lock again
        }
    });
    EXPECT_EQ(result, dialog_test::kStillOpen);
}

TEST_F(TrayTest, EnabledControlsPerRunModeAndLock) {
    run([&](MainDriven& dlg) {
        HWND window = dlg.hwnd();
        // The labels and the local fields are not the lock's to change.
        auto untouched = [&] {
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_ALLOW_SKIP_LABEL)));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_INTERVAL_LABEL)));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_LOCAL_IP)));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_LOCAL_MAC1)));
        };
        const struct {
            RunMode mode;
            const std::string& unlocked;
        } kModes[] = {{RunMode::Admin, kAllEnabled},
                      {RunMode::ClientAsk, kClientUnlocked},
                      {RunMode::ClientBind, kClientUnlocked}};
        for (const auto& entry : kModes) {
            SCOPED_TRACE(static_cast<int>(entry.mode));
            setRunMode(entry.mode);
            dlg.EnableControls(true);
            EXPECT_EQ(enabledPattern(window), kAllDisabled);
            untouched();
            dlg.EnableControls(false);
            EXPECT_EQ(enabledPattern(window), entry.unlocked);
            untouched();
        }

        // Through the menu in a client run mode: unlocking gives only the selector, "Uninstall" and "Exit".
        setRunMode(RunMode::ClientBind);
        openMenu(window, MenuSeen::ChooseFirst);  // Lock
        EXPECT_EQ(enabledPattern(window), kAllDisabled);
        armUnlock({"mauve"});
        openMenu(window, MenuSeen::ChooseFirst);  // UnLock
        EXPECT_FALSE(dlg.locked);
        EXPECT_EQ(enabledPattern(window), kClientUnlocked);

        // In the administrator program "YES" and "NO" come back whatever the check box says.
        setRunMode(RunMode::Admin);
        SendMessageW(GetDlgItem(window, IDC_GENERATE_CLIENT), BM_SETCHECK, BST_UNCHECKED, 0);
        dlg.EnableControls(true);
        dlg.EnableControls(false);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_ALLOW_SKIP_YES)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_ALLOW_SKIP_NO)));
    });
}

TEST_F(TrayTest, MenuTextsFollowLanguageAndLockAndExitIsGrayedWhileLocked) {
    run([&](MainDriven& dlg) {
        HWND window = dlg.hwnd();
        const struct {
            int32_t language;
            const char* unlock;
            const char* lock;
            const char* exit;
        } kLanguages[] = {{0, "UnLock", "Lock", "Exit"},
                          {1, "解除锁定", "锁定", "退出"},
                          {2, "解除鎖定", "鎖定", "離開"},
                          {7, "UnLock", "Lock", "Exit"}};
        for (const auto& entry : kLanguages) {
            SCOPED_TRACE(entry.language);
            dlg.language = entry.language;
            for (bool locked : {false, true}) {
                SCOPED_TRACE(locked);
                dlg.locked = locked;
                MenuSeen menu = openMenu(window);
                ASSERT_TRUE(menu.shown);
                EXPECT_EQ(menu.texts[0], locked ? entry.unlock : entry.lock);
                EXPECT_EQ(menu.texts[1], entry.exit);
                EXPECT_EQ(menu.ids[0], UINT(ID_TRAY_LOCK_UNLOCK));
                EXPECT_EQ(menu.ids[1], UINT(ID_TRAY_EXIT));
                EXPECT_EQ(menu.states[0], UINT(MF_STRING | MF_ENABLED));
                EXPECT_EQ(menu.states[1], UINT(MF_STRING | (locked ? MF_GRAYED : MF_ENABLED)));
            }
        }
        dlg.locked = false;

        // A language picked in the window shows in the next menu.
        selectLanguage(window, TraditionalChinese);
        EXPECT_EQ(openMenu(window).texts[0], "鎖定");

        // The menu opens at the cursor with its right edge there.
        // Wine moves the pointer through X, which a pending pointer event can move back: place it again
        // until the system reports it there.
        POINT cursor{};
        for (DWORD start = GetTickCount(); !pastDeadline(start, 2000);) {
            SetCursorPos(300, 200);
            Sleep(20);
            if (GetCursorPos(&cursor) && cursor.x == 300 && cursor.y == 200)
                break;
        }
        MenuSeen menu = openMenu(window);
        EXPECT_EQ(menu.rect.right, 300);
        EXPECT_EQ(menu.rect.top, 200);
    });
}

TEST_F(TrayTest, OtherMouseMessagesAndOtherIconsAreIgnored) {
    run([&](MainDriven& dlg) {
        HWND window = dlg.hwnd();
        HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HAND_CURSOR));
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        EXPECT_EQ(trayNotify(window, 1, WM_MOUSEMOVE), 1);
        EXPECT_EQ(GetCursor(), hand);

        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        dlg.locked = true;
        ShowWindow(window, SW_MINIMIZE);
        armMenu(MenuSeen::Close);
        for (UINT message : {UINT(WM_LBUTTONUP), UINT(WM_RBUTTONUP), UINT(WM_LBUTTONDBLCLK), UINT(WM_RBUTTONDBLCLK),
                             UINT(WM_MBUTTONDOWN), UINT(WM_MBUTTONUP)}) {
            EXPECT_EQ(trayNotify(window, 1, message), 1);
        }
        for (UINT message : {UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONDOWN), UINT(WM_RBUTTONDOWN)}) {
            EXPECT_EQ(trayNotify(window, 2, message), 1);
            EXPECT_EQ(trayNotify(window, 0, message), 1);
        }
        pump();
        EXPECT_FALSE(menuSeen().shown);
        EXPECT_NE(GetCursor(), hand);
        EXPECT_TRUE(recorder().opened.empty());
        EXPECT_TRUE(IsIconic(window));
        EXPECT_TRUE(dlg.locked);
    });
}

TEST_F(TrayTest, SystemMenuAboutAndChangePasswordOpenOwnedDialogs) {
    run([&](MainDriven& dlg) {
        HWND window = dlg.hwnd();
        armAnswer(kAboutBoxCaption, [](HWND about) { dialog_test::press(about, IDOK); });
        SendMessageW(window, WM_SYSCOMMAND, kAboutCommand, 0);
        EXPECT_TRUE(dialogAnswer().seen);
        EXPECT_EQ(dialogAnswer().owner, window);
        EXPECT_FALSE(dialogAnswer().leftOpen);

        armAnswer(kChangePasswordDialogCaption, [](HWND change) { dialog_test::press(change, IDCANCEL); });
        dlg.press(IDC_CHANGE_PASSWORD);
        EXPECT_TRUE(dialogAnswer().seen);
        EXPECT_EQ(dialogAnswer().owner, window);
        EXPECT_FALSE(dialogAnswer().leftOpen);

        // Neither touches the lock or the window.
        expectShownUnlocked(dlg);
    });
}

namespace {

constexpr MacBytes kGatewayMac = {0x02, 0xFC, 0x00, 0x00, 0x00, 0x05};

ArpRow gatewayRow(const MacBytes& mac, uint32_t type) {
    ArpRow row{0, 6, {mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]}, 0, type};
    memcpy(&row.addr, "\xC0\x00\x02\x01", 4);  // 192.0.2.1
    return row;
}

// One expiry of the watch at the given time; the calls to the shell it made.
std::vector<WideIconCall> watchAt(HWND window, uint32_t now) {
    fakeNetwork().now = now;
    recorder().wideCalls.clear();
    SendMessageW(window, WM_TIMER, kWatchTimerId, 0);
    return recorder().wideCalls;
}

void expectShown(const std::vector<WideIconCall>& calls, HWND window, Look look, const char* tip, bool balloon) {
    ASSERT_EQ(calls.size(), 1u);
    const NOTIFYICONDATAW& data = calls[0].data;
    EXPECT_EQ(calls[0].message, unsigned(NIM_MODIFY));
    EXPECT_TRUE(data.cbSize == NOTIFYICONDATAW_V2_SIZE && data.hWnd == window && data.uID == 1);
    EXPECT_EQ(calls[0].look, look);
    EXPECT_FALSE(iconAlive(data.hIcon));  // our copy went once the shell had it: no handle piles up per change
    EXPECT_EQ(wideToUtf8(data.szTip), tip);
    EXPECT_EQ(data.uFlags, UINT(NIF_ICON | NIF_TIP | (balloon ? NIF_INFO : 0)));
    if (balloon) {
        // The balloon says the tip first, and for some states more.
        EXPECT_TRUE(wideToUtf8(data.szInfo).rfind(tip, 0) == 0 && data.dwInfoFlags == NIIF_WARNING);
    }
}

}  // namespace

TEST_F(TrayTest, TheWatchShowsEachStateOnTheIconWithOneBalloonPerTurnForTheWorse) {
    run([&](MainDriven& dlg) {
        HWND window = dlg.hwnd();
        dlg.timer = 60;
        dlg.gwip = "192.0.2.1";
        dlg.gwmac = "2-fc-0-0-0-5";
        // Opened, settings known, not applied: nothing is watched and the tip stays empty.
        EXPECT_FALSE(KillTimer(window, kWatchTimerId));
        EXPECT_TRUE(watchAt(window, 60000).empty());

        dlg.startBinding();
        // Both timers run; the test delivers their expiries itself. Hidden and locked, as a client runs.
        EXPECT_TRUE(KillTimer(window, kBindTimerId) && KillTimer(window, kWatchTimerId));
        SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        // An arp.exe that could not be started is no bind to judge; the wait counts from the one that started.
        fakeNetwork().runResult = 2;
        SendMessageW(window, WM_TIMER, kBindTimerId, 0);
        fakeNetwork().runResult = 33;
        fakeNetwork().now = 1000;
        SendMessageW(window, WM_TIMER, kBindTimerId, 0);
        EXPECT_TRUE(watchAt(window, 3999).empty());
        // A table that cannot be read decides nothing. No interface routing to the gateway (booting, unplugged)
        // neither, and the first watch with one pins again: "not pinned" counts from there.
        fakeNetwork().tableReadable = false;
        EXPECT_TRUE(watchAt(window, 4000).empty());
        fakeNetwork().tableReadable = true;
        fakeNetwork().bestInterface.reset();
        EXPECT_TRUE(watchAt(window, 4000).empty());
        fakeNetwork().bestInterface = 0;
        EXPECT_TRUE(watchAt(window, 4000).empty() && watchAt(window, 6999).empty());
        expectShown(watchAt(window, 7000), window, Look::Alert,
                    "Gateway 192.0.2.1 not pinned: run XirARP as administrator", true);
        EXPECT_TRUE(watchAt(window, 9000).empty());  // never repeated while it lasts

        fakeNetwork().rows = {gatewayRow(kGatewayMac, 4)};
        expectShown(watchAt(window, 10000), window, Look::Normal, "Gateway 192.0.2.1 pinned to 02-FC-00-00-00-05",
                    false);

        // The pin gone and a forged reply in its place: pinned again at once, without a word (nobody on the link can
        // remove a static entry: that was a move); still there at the next reading, the balloon and another bind.
        fakeNetwork().rows = {gatewayRow({0x66, 0x66, 0x66, 0x66, 0x66, 0x66}, 3)};
        EXPECT_TRUE(watchAt(window, 12000).empty());
        EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>(4, "arp -s 192.0.2.1 02-FC-00-00-00-05\r\n"));
        expectShown(watchAt(window, 14000), window, Look::Alert,
                    "Gateway 192.0.2.1 answered as 66-66-66-66-66-66, pinned 02-FC-00-00-00-05", true);
        EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>(5, "arp -s 192.0.2.1 02-FC-00-00-00-05\r\n"));

        // Another forger while the conflict lasts: the tip follows, with no second balloon.
        fakeNetwork().rows = {gatewayRow({0x66, 0x66, 0x66, 0x66, 0x66, 0x77}, 3)};
        const char kConflict[] = "Gateway 192.0.2.1 answered as 66-66-66-66-66-77, pinned 02-FC-00-00-00-05";
        expectShown(watchAt(window, 15000), window, Look::Alert, kConflict, false);

        // A new taskbar gets the look and tip back; a language switch changes the tip at once.
        recorder().wideCalls.clear();
        SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        expectShown(recorder().wideCalls, window, Look::Alert, kConflict, false);
        recorder().wideCalls.clear();
        dlg.locked = false;
        selectLanguage(window, SimplifiedChinese);
        expectShown(recorder().wideCalls, window, Look::Alert,
                    "网关 192.0.2.1 应答为 66-66-66-66-66-77，已绑定 02-FC-00-00-00-05", false);
        // Beside a running service this copy runs no arp command, not even for a conflict, and its tip says who pins;
        // once the service stops, the copy binds again at its next expiry.
        fakeNetwork().commands.clear();
        fakeServiceManager().state = ServiceState::Running;
        SendMessageW(window, WM_TIMER, kBindTimerId, 0);
        watchAt(window, 20000);
        fakeNetwork().rows = {gatewayRow(kGatewayMac, 4)};
        expectShown(watchAt(window, 22000), window, Look::Normal, "网关 192.0.2.1 已绑定到 02-FC-00-00-00-05（服务）",
                    false);
        fakeServiceManager().state = ServiceState::Stopped;
        SendMessageW(window, WM_TIMER, kBindTimerId, 0);
        EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"arp -s 192.0.2.1 02-FC-00-00-00-05\r\n"});

        // Apply stops the binding first; refused here (no password yet), it leaves no watch and a plain icon.
        recorder().wideCalls.clear();
        dlg.press(IDC_APPLY);
        ASSERT_EQ(messageBoxes().boxes.size(), 1u);
        expectShown(recorder().wideCalls, window, Look::Normal, "", false);
        EXPECT_FALSE(KillTimer(window, kWatchTimerId) || KillTimer(window, kBindTimerId));
        EXPECT_TRUE(watchAt(window, 60000).empty());
    });
}
