#include "password_dialog_driver.h"

#include <cctype>

#include "auth/password_dialogs.h"
#include "auth/password.h"
#include "res/resource.h"

using namespace password_dialogs;

namespace {

using ChangeDriven = Driven<CChangePasswordDlg>;

constexpr int kOld = IDC_CHANGE_OLD_PASSWORD;
constexpr int kNew = IDC_CHANGE_NEW_PASSWORD;
constexpr int kConfirm = IDC_CHANGE_CONFIRM_PASSWORD;

struct ChangeTexts {
    const char* caption;
    const char* labels[3];
    const char* ok;
    const char* cancel;
    const char* messages[7];  // M1 to M6, then the refusal of a new password the code page cannot hold
};

const ChangeTexts kEnglish{
    "Change Password",
    {"Old Password", "New Password", "Confirm New Password"},
    "OK",
    "Cancel",
    {"Please input old password !", "Please input new password !", "Please input confirm new password !",
     "Confirm new password is wrong. Please input again !",
     "New password cannot be the same with default one. Please input again !",
     "Old password is wrong. Please input again !",
     "New password has characters this system cannot store. Please input again !"}};
const ChangeTexts kSimplified{"更改密码",
                              {"旧密码", "新密码", "确认新密码"},
                              "确定",
                              "取消",
                              {"请输入旧密码 !", "请输入新密码 !", "请输入确认新密码 !", "确认新密码错误 请重新输入 !",
                               "新密码与默认密码相同\xE3\x80\x80请重新输入 !", "旧密码错误 请重新输入 !",
                               "新密码含有本系统无法保存的字符 请重新输入 !"}};
const ChangeTexts kTraditional{
    "變更密碼",
    {"舊密碼", "新密碼", "確認新密碼"},
    "確認",
    "取消",
    {"請輸入舊密碼 !", "請輸入新密碼 !", "請輸入確認新密碼 !", "確認新密碼輸入錯誤 請重新輸入 !",
     "新密碼與預設密碼相同  請重新輸入 !", "舊密碼輸入錯誤 請重新輸入 !",
     "新密碼含有本系統無法儲存的字元 請重新輸入 !"}};

// One refused press: what was typed, the message, where the focus goes and what the entries keep.
struct Refusal {
    const char* typed[3];
    int message;  // 0 for M1 ... 5 for M6, 6 for a new password outside the code page
    int focus;
    const char* kept[3];
};

const Refusal kRefusals[] = {
    {{"", "", ""}, 0, kOld, {"", "", ""}},
    {{"mauve", "", "secret"}, 1, kNew, {"mauve", "", "secret"}},
    {{"mauve", "secret", ""}, 2, kConfirm, {"mauve", "secret", ""}},
    {{"wrong", "secret", "Secret"}, 3, kConfirm, {"wrong", "secret", ""}},  // before the old password
    {{"mauve", "mauve", "mauve"}, 4, kConfirm, {"mauve", "mauve", ""}},     // even with the right old one
    {{"wrong", "secret", "secret"}, 5, kOld, {"", "", ""}},
    {{"wrong", "ЖЖЖЖЖЖ", "ЖЖЖЖЖЖ"}, 6, kNew, {"wrong", "", ""}},  // "??????" in code page 1252
};

class ChangePasswordDlgTest : public PasswordDialogTest {
  protected:
    static void fill(ChangeDriven& dlg, const char* const (&texts)[3]) {
        dlg.setEntry(kOld, texts[0]);
        dlg.setEntry(kNew, texts[1]);
        dlg.setEntry(kConfirm, texts[2]);
    }
    static INT_PTR tryChange(const char* oldPassword, const char* newPassword, const char* confirmPassword) {
        return run<CChangePasswordDlg>([&](ChangeDriven& dlg) {
            fill(dlg, {oldPassword, newPassword, confirmPassword});
            dlg.press(IDOK);
        });
    }
};

bool isLowerHexDigest(const std::string& text) {
    if (text.size() != 32)
        return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

}  // namespace

TEST_F(ChangePasswordDlgTest, EveryLanguageShowsItsTextsAndEveryRefusal) {
    ASSERT_EQ(GetACP(), 1252u) << "the refusal of Cyrillic letters assumes code page 1252";
    const struct {
        int language;  // -1: the fixture's English owner
        const ChangeTexts& texts;
    } kCases[] = {{-1, kEnglish}, {1, kSimplified}, {2, kTraditional}, {5, kEnglish}};
    for (const auto& entry : kCases) {
        SCOPED_TRACE(entry.language);
        if (entry.language >= 0)
            setLanguage(entry.language);
        const ChangeTexts& t = entry.texts;
        INT_PTR result = run<CChangePasswordDlg>([&](ChangeDriven& dlg) {
            EXPECT_EQ(dlg.caption(), t.caption);
            EXPECT_EQ(dlg.text(IDC_CHANGE_OLD_LABEL), t.labels[0]);
            EXPECT_EQ(dlg.text(IDC_CHANGE_NEW_LABEL), t.labels[1]);
            EXPECT_EQ(dlg.text(IDC_CHANGE_CONFIRM_LABEL), t.labels[2]);
            EXPECT_EQ(dlg.text(IDOK), t.ok);
            EXPECT_EQ(dlg.text(IDCANCEL), t.cancel);
            EXPECT_EQ(GetFocus(), dlg.item(kOld));
            for (int id : {kOld, kNew, kConfirm})
                EXPECT_EQ(SendMessageW(dlg.item(id), EM_GETLIMITTEXT, 0, 0), 20);

            for (const Refusal& refusal : kRefusals) {
                SCOPED_TRACE(refusal.message + 1);
                fill(dlg, refusal.typed);
                SetFocus(dlg.item(IDCANCEL));
                dlg.press(IDOK);
                expectOneWarning(dlg.hwnd(), t.messages[refusal.message]);
                EXPECT_EQ(GetFocus(), dlg.item(refusal.focus));
                EXPECT_EQ(dlg.text(kOld), refusal.kept[0]);
                EXPECT_EQ(dlg.text(kNew), refusal.kept[1]);
                EXPECT_EQ(dlg.text(kConfirm), refusal.kept[2]);
                EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
                EXPECT_EQ(storedPwd(), "<absent>");
            }
        });
        EXPECT_EQ(result, kStillOpen);
        removeProgramSettings();
    }
}

TEST_F(ChangePasswordDlgTest, SuccessStoresTheNewDigestAndOnlyItUnlocks) {
    EXPECT_EQ(tryChange("mauve", "secret", "secret"), IDOK);
    EXPECT_TRUE(messageBoxes().boxes.empty());
    const std::string stored = storedPwd();
    EXPECT_TRUE(isLowerHexDigest(stored)) << stored;
    EXPECT_EQ(stored, PasswordDigest("secret"));

    auto unlocks = [](const char* password) {
        return run<CUnlockDlg>([&](Driven<CUnlockDlg>& dlg) {
            dlg.setEntry(IDC_UNLOCK_PASSWORD, password);
            dlg.press(IDOK);
        });
    };
    EXPECT_EQ(unlocks("mauve"), kStillOpen);
    EXPECT_EQ(unlocks("secret"), IDOK);

    // Now "mauve" is the wrong old password, and the new one may equal the old.
    EXPECT_EQ(tryChange("mauve", "other", "other"), kStillOpen);
    EXPECT_EQ(storedPwd(), stored);
    messageBoxes().boxes.clear();
    EXPECT_EQ(tryChange("secret", "secret", "secret"), IDOK);
    EXPECT_EQ(storedPwd(), stored);

    // A digest that cannot be written is told, and the old password stays.
    ASSERT_TRUE(setSettingsKeyAccess(kSettingsWritesRefused));
    EXPECT_EQ(tryChange("secret", "other", "other"), kStillOpen);
    EXPECT_EQ(takeShownBoxes().at(0).text,
              "Cannot save the new password (pwd) in the registry ! The old password stays in force.");
    EXPECT_EQ(storedPwd(), stored);
}

TEST_F(ChangePasswordDlgTest, DefaultDifferingOnlyInCaseIsAccepted) {
    writeSettingString("pwd", "");
    EXPECT_EQ(tryChange("mauve", "Mauve", "Mauve"), IDOK);
    EXPECT_EQ(storedPwd(), PasswordDigest("Mauve"));
    EXPECT_TRUE(messageBoxes().boxes.empty());
}

TEST_F(ChangePasswordDlgTest, UpperCaseStoredDigestCannotBeReplaced) {
    std::string upper = PasswordDigest("mauve");
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    writeSettingString("pwd", upper);
    EXPECT_EQ(tryChange("mauve", "secret", "secret"), kStillOpen);
    EXPECT_EQ(storedPwd(), upper);
}

TEST_F(ChangePasswordDlgTest, CancelStoresNothing) {
    auto filledThen = [](auto finish) {
        return run<CChangePasswordDlg>([&](ChangeDriven& dlg) {
            fill(dlg, {"mauve", "secret", "secret"});
            finish(dlg);
        });
    };
    EXPECT_EQ(filledThen([](ChangeDriven& dlg) { dlg.press(IDCANCEL); }), IDCANCEL);
    EXPECT_EQ(filledThen([](ChangeDriven&) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1); }), IDCANCEL);
    EXPECT_EQ(filledThen([](ChangeDriven& dlg) { PostMessageW(dlg.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }), IDCANCEL);
    EXPECT_TRUE(messageBoxes().boxes.empty());
    EXPECT_EQ(storedPwd(), "<absent>");
}

TEST_F(ChangePasswordDlgTest, EntriesTakeTwentyCharacters) {
    INT_PTR result = run<CChangePasswordDlg>([&](ChangeDriven& dlg) {
        for (int id : {kOld, kNew, kConfirm})
            dlg.type(id, L"abcdefghijklmnopqrstuvwxyz");
        for (int id : {kOld, kNew, kConfirm})
            EXPECT_EQ(dlg.text(id), "abcdefghijklmnopqrst");
        dlg.setEntry(kOld, "mauve");
        dlg.press(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(storedPwd(), PasswordDigest("abcdefghijklmnopqrst"));
}
