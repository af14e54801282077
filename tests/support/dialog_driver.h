#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "support/windows.h"
#include "sys/text_encoding.h"
#include "ui/dialog.h"

// Runs a dialog of the program for real, modally, inside the test's own process, and plays a test's script
// inside its message loop; windows that open in nested modal loops (a popup menu, another dialog) are
// answered from thread timers, which those loops keep delivering.
namespace dialog_test {

// DoModal's result when the script returned and nothing closed the dialog.
constexpr INT_PTR kStillOpen = 1000;

// Runs a dialog modally and plays a script inside its own message loop once the dialog is shown and
// active, so that focus and results are the real ones.
template <typename Dialog>
class Driven : public Dialog {
  public:
    using Script = std::function<void(Driven&)>;

    // Further arguments go to the dialog's constructor after its (absent) owner.
    template <typename... Args>
    explicit Driven(Script script, Args... args) : Dialog(nullptr, args...), script_(std::move(script)) {}

    HWND hwnd() const { return this->GetHwnd(); }
    HWND item(int id) const { return this->GetDlgItem(id); }

    void press(int id) { this->HandleMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(item(id))); }

    void setEntry(int id, const std::string& utf8) { SetWindowTextW(item(id), utf8ToWide(utf8).c_str()); }

    std::string text(int id) const { return windowText(item(id)); }
    std::string caption() const { return windowText(hwnd()); }

    // Types into an entry as the keyboard would, so that the entry's limit applies.
    void type(int id, const std::wstring& keys) {
        for (wchar_t key : keys)
            SendMessageW(item(id), WM_CHAR, key, 1);
    }

  protected:
    static constexpr UINT_PTR kScriptTimer = 0x5C1;
    static constexpr UINT_PTR kWatchdogTimer = 0x5C2;

    BOOL OnInitDialog() override {
        BOOL result = Dialog::OnInitDialog();
        SetTimer(hwnd(), kScriptTimer, 20, nullptr);
        return result;
    }

    void OnTimer(UINT_PTR id) override {
        if (id == kWatchdogTimer) {
            KillTimer(hwnd(), kWatchdogTimer);
            this->EndDialog(kStillOpen);
            return;
        }
        if (id != kScriptTimer)
            return Dialog::OnTimer(id);
        // The modal loop shows the dialog once it has nothing else to do.
        if (!IsWindowVisible(hwnd()) && ++waits_ < 100)
            return;
        KillTimer(hwnd(), kScriptTimer);
        SetForegroundWindow(hwnd());
        SetActiveWindow(hwnd());
        script_(*this);
        // Whatever the script posted runs first; a dialog still open afterwards ends with kStillOpen.
        SetTimer(hwnd(), kWatchdogTimer, 300, nullptr);
    }

  private:
    Script script_;
    int waits_ = 0;
};

template <typename Dialog>
INT_PTR runModal(typename Driven<Dialog>::Script script) {
    Driven<Dialog> dialog(std::move(script));
    return dialog.DoModal();
}

// Sends a button's click from the thread itself: its handler has run when this returns.
inline void press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

// Acts once on the window `find` returns as soon as it is visible, looking every 20 ms from a thread timer
// (about five seconds, then it gives up). Several answers may wait at once: an unlock dialog that opens from a
// menu's choice is armed before the menu.
struct PendingAnswer {
    std::function<HWND()> find;
    std::function<void(HWND)> act;
    int ticks = 0;
};

inline std::map<UINT_PTR, PendingAnswer>& pendingAnswers() {
    static std::map<UINT_PTR, PendingAnswer> answers;
    return answers;
}

inline void CALLBACK lookForWindowToAnswer(HWND, UINT, UINT_PTR timerId, DWORD) {
    auto pending = pendingAnswers().find(timerId);
    if (pending == pendingAnswers().end())
        return;
    HWND window = pending->second.find();
    if (!(window && IsWindowVisible(window)) && ++pending->second.ticks <= 250)
        return;
    KillTimer(nullptr, timerId);
    PendingAnswer answer = std::move(pending->second);
    pendingAnswers().erase(pending);
    if (window && IsWindowVisible(window))
        answer.act(window);
}

inline void answerWhenShown(std::function<HWND()> find, std::function<void(HWND)> act) {
    UINT_PTR timer = SetTimer(nullptr, 0, 20, lookForWindowToAnswer);
    pendingAnswers()[timer] = PendingAnswer{std::move(find), std::move(act)};
}

// Stops waiting for the windows not shown yet.
inline void forgetPendingAnswers() {
    for (const auto& [timer, answer] : pendingAnswers())
        KillTimer(nullptr, timer);
    pendingAnswers().clear();
}

// The dialog of this process with the given caption; the popup menu this process shows.
inline std::function<HWND()> dialogCaptioned(const std::string& caption) {
    return [caption] { return findDialog(GetCurrentProcessId(), caption); };
}
inline HWND shownMenu() {
    return findShownMenu(GetCurrentProcessId());
}

}  // namespace dialog_test
