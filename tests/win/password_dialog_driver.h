#pragma once
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/arp_settings.h"
#include "sys/seams.h"
#include "sys/text_encoding.h"
#include "ui/dialog.h"

namespace password_dialogs {

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

    explicit Driven(Script script) : Dialog(nullptr), script_(std::move(script)) {}

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

// Starts every test without "pwd" and "language", records message boxes instead of showing them.
class PasswordDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        clearSettings();
        savedSeams_ = seams();
        seams().messageBox = recordBox;
        shownBoxes().clear();
    }
    void TearDown() override {
        seams() = savedSeams_;
        clearSettings();
    }

    static void clearSettings() {
        SHDeleteValueA(HKEY_CURRENT_USER, kSettingsKey, "pwd");
        SHDeleteValueA(HKEY_CURRENT_USER, kSettingsKey, "language");
    }
    static void setLanguage(DWORD language) {
        SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, "language", REG_DWORD, &language, sizeof language);
    }
    static void setPwd(const std::string& text) {
        SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, "pwd", REG_SZ, text.c_str(), DWORD(text.size() + 1));
    }
    // The raw "pwd" value; "<absent>" when there is none.
    static std::string storedPwd() {
        char buffer[256] = {};
        DWORD type = 0, size = sizeof buffer - 1;
        if (SHGetValueA(HKEY_CURRENT_USER, kSettingsKey, "pwd", &type, buffer, &size) != ERROR_SUCCESS)
            return "<absent>";
        return buffer;
    }

    template <typename Dialog>
    static INT_PTR run(typename Driven<Dialog>::Script script) {
        Driven<Dialog> dialog(std::move(script));
        return dialog.DoModal();
    }

    // Checks the one message box shown since the last call and forgets it.
    static void expectOneWarning(HWND owner, const std::string& text) {
        ASSERT_EQ(shownBoxes().size(), 1u) << "expected \"" << text << "\"";
        const ShownBox& box = shownBoxes().front();
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, "WARNING");
        EXPECT_EQ(box.flags, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(box.owner, static_cast<void*>(owner));
        shownBoxes().clear();
    }

  private:
    SystemSeams savedSeams_{};
};

}  // namespace password_dialogs
