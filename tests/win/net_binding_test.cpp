#include <windows.h>

#include <string>
#include <vector>

#include "net/binding.h"
#include "net_fake_seams.h"

namespace {

// A stand-in for the main window: a real hidden window whose timer message goes to the binding handler
// with these members.
struct WindowMembers {
    int32_t timer = 60;
    std::string gwip = "192.168.1.1";
    std::string gwmac = "00-11-22-33-44-55";
    int32_t language = 0;
    BindingTimer binding;
};
WindowMembers members;

LRESULT CALLBACK testWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        members.binding.OnTimer(hwnd, wParam, members.timer, members.gwip, members.gwmac, members.language);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

const std::string kBindCommand = "arp -s 192.168.1.1 00-11-22-33-44-55\r\n";

class BindingTest : public FakeNetworkTest {
  protected:
    void SetUp() override {
        FakeNetworkTest::SetUp();
        members = WindowMembers();
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = testWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"XirArpNetTestWindow";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, L"XirArpNetTestWindow", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window_);
        FakeNetworkTest::TearDown();
    }

    // Runs the window's messages for a while, as its dialog loop would; returns how many binding
    // expiries arrived and when the first one came.
    int pump(DWORD milliseconds, DWORD* firstExpiry = nullptr) {
        DWORD start = GetTickCount();
        int expiries = 0;
        while (GetTickCount() - start < milliseconds) {
            MSG msg;
            while (PeekMessageW(&msg, window_, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_TIMER && msg.wParam == kBindTimerId) {
                    if (expiries++ == 0 && firstExpiry)
                        *firstExpiry = GetTickCount() - start;
                }
                DispatchMessageW(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        return expiries;
    }

    // True when the binding timer was armed; it is stopped afterwards.
    bool timerWasArmed() { return KillTimer(window_, kBindTimerId) != FALSE; }

    HWND window_ = nullptr;
};

}  // namespace

TEST_F(BindingTest, BindRunsTheCommandAndRearmsTheTimer) {
    // A short first period, as after Apply, replaced by the interval of the binding.
    SetTimer(window_, kBindTimerId, 20, nullptr);
    EXPECT_EQ(BindGateway(window_, 60, members.gwip, members.gwmac), 60000u);
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{kBindCommand});
    EXPECT_EQ(pump(300), 0);
    EXPECT_TRUE(timerWasArmed());

    // One second per unit of interval, counted from the binding.
    BindGateway(window_, 1, members.gwip, members.gwmac);
    DWORD first = 0;
    pump(1600, &first);
    EXPECT_GE(first, 900u);
    EXPECT_LE(first, 1500u);
    EXPECT_TRUE(timerWasArmed());
}

TEST_F(BindingTest, IntervalsOutsideTheTimerRange) {
    // Too long for 32-bit milliseconds: the longest period the system takes.
    EXPECT_EQ(BindGateway(window_, INT32_MAX, members.gwip, members.gwmac), 0x7FFFFFFFu);
    EXPECT_TRUE(timerWasArmed());
    EXPECT_EQ(fakeNetwork().commands.size(), 1u);
    // Zero or below: nothing is run or armed.
    EXPECT_EQ(BindGateway(window_, 0, members.gwip, members.gwmac), 0u);
    EXPECT_EQ(BindGateway(window_, -1, members.gwip, members.gwmac), 0u);
    EXPECT_FALSE(timerWasArmed());
    EXPECT_EQ(fakeNetwork().commands.size(), 1u);
}

TEST_F(BindingTest, OverlongTextsRunNoCommandButKeepTheSchedule) {
    EXPECT_EQ(BindGateway(window_, 60, std::string(2000, '1'), members.gwmac), 60000u);
    runRemoveCommand(std::string(2000, '1'));
    runRemoveCommand("");
    EXPECT_TRUE(fakeNetwork().commands.empty());
    EXPECT_TRUE(timerWasArmed());

    runRemoveCommand("192.168.1.1");
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{"arp -d 192.168.1.1\r\n"});
}

TEST_F(BindingTest, ExpiryOfTimerOneBindsTheMembers) {
    startBindTimer(window_);
    DWORD first = 0;
    EXPECT_EQ(pump(1300, &first), 1);
    EXPECT_GE(first, 900u);
    EXPECT_EQ(fakeNetwork().commands, std::vector<std::string>{kBindCommand});
    EXPECT_TRUE(messageBoxes().boxes.empty());
    stopBindTimer(window_);
    EXPECT_FALSE(timerWasArmed());

    // Any other timer id is not the binding's.
    members.binding.OnTimer(window_, 2, members.timer, members.gwip, members.gwmac, members.language);
    members.binding.OnTimer(window_, 0, 0, "", "", 0);
    EXPECT_EQ(fakeNetwork().commands.size(), 1u);
    EXPECT_TRUE(messageBoxes().boxes.empty());
    EXPECT_FALSE(timerWasArmed());
}

TEST_F(BindingTest, IncompleteMembersWarnInTheWindowLanguageAndRunNothing) {
    struct Case {
        int32_t timer;
        const char* gwip;
        const char* gwmac;
        int32_t language;
        const char* text;
    };
    const Case cases[] = {
        {0, "192.168.1.1", "00-11-22-33-44-55", 0, "Cannot get configuration !"},
        {-60, "192.168.1.1", "00-11-22-33-44-55", 99, "Cannot get configuration !"},
        {60, "", "00-11-22-33-44-55", 1, "无法获取设置信息 !"},
        {60, "192.168.1.1", "", 2, "無法取得設定資料 !"},
        {60, "192.168.1.1", "00-00-00-00-00-00", 0, "Cannot get configuration !"},  // an older version's null MAC
    };
    for (const Case& c : cases) {
        members.binding.OnTimer(window_, kBindTimerId, c.timer, c.gwip, c.gwmac, c.language);
        expectOneBox(window_, c.text, "WARNING", MB_OK | MB_ICONEXCLAMATION);
    }
    EXPECT_TRUE(fakeNetwork().commands.empty());
    EXPECT_FALSE(timerWasArmed());
}

TEST_F(BindingTest, ExpiriesWhileTheWarningIsOpenAddNoWarning) {
    members.timer = 0;
    // The first box stays open a while and keeps the window's messages flowing, as a real message box does.
    bool firstBox = true;
    int expiriesWhileOpen = 0;
    size_t boxesWhileOpen = 0;
    messageBoxes().whileOpen = [&] {
        if (firstBox) {
            firstBox = false;
            size_t before = messageBoxes().boxes.size();
            expiriesWhileOpen = pump(400);
            boxesWhileOpen = messageBoxes().boxes.size() - before;
        }
        return IDOK;
    };
    SetTimer(window_, kBindTimerId, 50, nullptr);
    pump(200);

    EXPECT_GE(expiriesWhileOpen, 3);
    EXPECT_EQ(boxesWhileOpen, 0u);
    // Once it is closed, the next expiry warns again; the timer kept its period throughout.
    EXPECT_GE(pump(150), 1);
    EXPECT_GE(messageBoxes().boxes.size(), 2u);
    EXPECT_TRUE(fakeNetwork().commands.empty());
    EXPECT_TRUE(timerWasArmed());
}
