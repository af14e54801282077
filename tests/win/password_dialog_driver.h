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
#include "dialog_driver.h"

namespace password_dialogs {

using dialog_test::Driven;
using dialog_test::kStillOpen;
using dialog_test::recordBox;
using dialog_test::ShownBox;
using dialog_test::shownBoxes;

// Starts every test without "pwd" and with an English owner, records message boxes instead of showing them.
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
        ownerLanguage() = 0;
    }
    // The language of the window that opens the dialogs.
    static int32_t& ownerLanguage() {
        static int32_t language = 0;
        return language;
    }
    static void setLanguage(int32_t language) { ownerLanguage() = language; }
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
        Driven<Dialog> dialog(std::move(script), ownerLanguage());
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
