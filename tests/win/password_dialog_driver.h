#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/dialog_driver.h"
#include "support/registry.h"
#include "support/seam_guard.h"

namespace password_dialogs {

using dialog_test::Driven;
using dialog_test::kStillOpen;

// Starts every test on a clean account (no "pwd") with an English owner, records message boxes instead of
// showing them.
class PasswordDialogTest : public CleanSettingsTest {
  protected:
    void SetUp() override {
        CleanSettingsTest::SetUp();
        ownerLanguage() = 0;
    }
    // The language of the window that opens the dialogs.
    static int32_t& ownerLanguage() {
        static int32_t language = 0;
        return language;
    }
    static void setLanguage(int32_t language) { ownerLanguage() = language; }
    // The raw "pwd" value; "<absent>" when there is none.
    static std::string storedPwd() { return readSettingString("pwd").value_or("<absent>"); }

    template <typename Dialog>
    static INT_PTR run(typename Driven<Dialog>::Script script) {
        Driven<Dialog> dialog(std::move(script), ownerLanguage());
        return dialog.DoModal();
    }

    // Checks the one message box shown since the last call and forgets it.
    static void expectOneWarning(HWND owner, const std::string& text) {
        expectOneBox(owner, text, "WARNING", MB_OK | MB_ICONEXCLAMATION);
    }

  private:
    ScopedSeams seams_;
};

}  // namespace password_dialogs
