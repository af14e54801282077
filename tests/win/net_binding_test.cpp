#include <windows.h>

#include <string>
#include <vector>

#include "net/binding.h"
#include "settings_window_fixture.h"
#include "sys/ui_text.h"

using settings_window::MainWindow;

namespace {

const std::string kBindCommand = "arp -s 192.168.1.1 00-11-22-33-44-55\r\n";

// Runs the window's messages for a while, as its dialog loop would; returns how many binding expiries arrived
// and when the first one came.
int pump(DWORD milliseconds, DWORD* firstExpiry = nullptr) {
    const DWORD start = GetTickCount();
    int expiries = 0;
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.wParam == kBindTimerId && expiries++ == 0 && firstExpiry)
                *firstExpiry = GetTickCount() - start;
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return expiries;
}

// True when the binding timer was armed; it is stopped afterwards.
bool timerWasArmed(HWND window) {
    return KillTimer(window, kBindTimerId) != FALSE;
}

void setMembers(MainWindow& dlg, int32_t timer, const char* gwip, const char* gwmac, int32_t language = 0) {
    dlg.timer = timer;
    dlg.gwip = gwip;
    dlg.gwmac = gwmac;
    dlg.language = language;
}

class BindingTest : public settings_window::SettingsWindowTest {};

}  // namespace

// The first bind a second after the binding starts, then one a second per unit of interval, counted from the bind.
TEST_F(BindingTest, ExpiryOfTimerOneBindsTheMembersAndRearmsTheTimerWithTheInterval) {
    run([&](MainWindow& dlg) {
        setMembers(dlg, 1, "192.168.1.1", "00-11-22-33-44-55");
        fakeNetwork().commands.clear();
        dlg.startBinding();
        DWORD first = 0;
        EXPECT_EQ(pump(1300, &first), 1);
        EXPECT_GE(first, 900u);
        EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{kBindCommand});
        SendMessageW(dlg.hwnd(), WM_TIMER, kBindTimerId, 0);
        first = 0;
        EXPECT_EQ(pump(1600, &first), 1);
        EXPECT_TRUE(first >= 900u && first <= 1500u) << first;
        EXPECT_TRUE(messageBoxes().boxes.empty());
        dlg.stopBinding();
        EXPECT_FALSE(timerWasArmed(dlg.hwnd()));

        // Any other timer id is not the binding's; a remove command needs an address.
        fakeNetwork().commands.clear();
        SendMessageW(dlg.hwnd(), WM_TIMER, 77, 0);
        runRemoveCommand("");
        runRemoveCommand(std::string(2000, '1'));
        EXPECT_TRUE(fakeNetwork().commands.empty());
        runRemoveCommand("192.168.1.1");
        EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"arp -d 192.168.1.1\r\n"});
    });
}

TEST_F(BindingTest, IncompleteMembersWarnInTheWindowLanguageAndRunNothing) {
    run([&](MainWindow& dlg) {
        const struct {
            int32_t timer;
            const char* gwip;
            const char* gwmac;
            int32_t language;
        } cases[] = {
            {0, "192.168.1.1", "00-11-22-33-44-55", 0},
            {60, "", "00-11-22-33-44-55", 1},
            {60, "192.168.1.1", "", 2},
            {60, "192.168.1.1", "00-00-00-00-00-00", 99},  // an older version's null MAC
        };
        for (const auto& c : cases) {
            setMembers(dlg, c.timer, c.gwip, c.gwmac, c.language);
            dlg.startBinding();
            SendMessageW(dlg.hwnd(), WM_TIMER, kBindTimerId, 0);
            expectOneBox(dlg.hwnd(), uiText(IDS_BIND_CONFIG_MISSING, c.language), "WARNING",
                         MB_OK | MB_ICONEXCLAMATION);
            // The timer keeps its first period, and nothing is watched.
            EXPECT_TRUE(timerWasArmed(dlg.hwnd()));
            EXPECT_FALSE(KillTimer(dlg.hwnd(), kWatchTimerId));
        }
        EXPECT_EQ(fakeNetwork().commands.size(), 1u);  // the opening's ping
    });
}

TEST_F(BindingTest, ExpiriesWhileTheWarningIsOpenAddNoWarning) {
    run([&](MainWindow& dlg) {
        setMembers(dlg, 0, "192.168.1.1", "00-11-22-33-44-55");
        // The first box stays open a while and keeps the window's messages flowing, as a real message box does.
        bool firstBox = true;
        int expiriesWhileOpen = 0;
        size_t boxesWhileOpen = 0;
        messageBoxes().whileOpen = [&] {
            if (firstBox) {
                firstBox = false;
                const size_t before = messageBoxes().boxes.size();
                expiriesWhileOpen = pump(400);
                boxesWhileOpen = messageBoxes().boxes.size() - before;
            }
            return IDOK;
        };
        dlg.startBinding();
        SetTimer(dlg.hwnd(), kBindTimerId, 50, nullptr);
        pump(200);

        EXPECT_GE(expiriesWhileOpen, 3);
        EXPECT_EQ(boxesWhileOpen, 0u);
        // Once it is closed, the next expiry warns again; the timer kept its period throughout.
        EXPECT_GE(pump(150), 1);
        EXPECT_GE(messageBoxes().boxes.size(), 2u);
        EXPECT_EQ(fakeNetwork().commands.size(), 1u);  // the opening's ping
        EXPECT_TRUE(timerWasArmed(dlg.hwnd()));
        messageBoxes().whileOpen = nullptr;
    });
}
