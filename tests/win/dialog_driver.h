#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "sys/seams.h"
#include "sys/text_encoding.h"
#include "ui/dialog.h"

// Runs a dialog of the program for real, modally, and plays a test's script inside its message loop.
namespace dialog_test {

// DoModal's result when the script returned and nothing closed the dialog.
constexpr INT_PTR kStillOpen = 1000;

struct ShownBox {
    void* owner;
    std::string text;
    std::string caption;
    unsigned flags;
};

inline std::vector<ShownBox>& shownBoxes() {
    static std::vector<ShownBox> boxes;
    return boxes;
}

inline int recordBox(void* owner, const char* text, const char* caption, unsigned flags) {
    shownBoxes().push_back({owner, text, caption, flags});
    return IDOK;
}

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

    static std::string windowText(HWND window) {
        wchar_t buffer[256] = {};
        GetWindowTextW(window, buffer, 256);
        return wideToUtf8(buffer);
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

}  // namespace dialog_test
