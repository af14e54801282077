#include "password_dialog_driver.h"

#include <cctype>
#include <initializer_list>

#include "auth/password.h"
#include "auth/password_dialogs.h"
#include "res/resource.h"

using namespace password_dialogs;

namespace {

using UnlockDriven = Driven<CUnlockDlg>;

struct UnlockTexts {
    const char* caption;
    const char* label;
    const char* ok;
    const char* cancel;
    const char* empty;
    const char* wrong;
};

const UnlockTexts kEnglish{
    "UnLock", "Password", "OK", "Cancel", "Please input password !", "Wrong Password ! Please input again !"};
const UnlockTexts kSimplified{"解除锁定", "密码", "确定", "取消", "请输入密码 !", "密码错误 请重新输入 !"};
const UnlockTexts kTraditional{"解除鎖定", "密碼", "確認", "取消", "請輸入密碼 !", "密碼錯誤 請重新輸入 !"};

class UnlockDlgTest : public PasswordDialogTest {
  protected:
    // Presses OK with each refused password in turn, then with the accepted one, in one run of the dialog.
    static INT_PTR refusesThenAccepts(std::initializer_list<const char*> refused, const char* accepted) {
        return run<CUnlockDlg>([&](UnlockDriven& dlg) {
            for (const char* password : refused) {
                SCOPED_TRACE(password);
                dlg.setEntry(IDC_UNLOCK_PASSWORD, password);
                dlg.press(IDOK);
                expectOneWarning(dlg.hwnd(), "Wrong Password ! Please input again !");
                EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
            }
            dlg.setEntry(IDC_UNLOCK_PASSWORD, accepted);
            dlg.press(IDOK);
        });
    }
};

}  // namespace

TEST_F(UnlockDlgTest, EveryLanguageShowsItsTextsAndMessages) {
    const struct {
        int language;  // -1: the fixture's English owner
        const UnlockTexts& texts;
    } kCases[] = {{-1, kEnglish}, {0, kEnglish}, {1, kSimplified}, {2, kTraditional}, {7, kEnglish}};
    for (const auto& entry : kCases) {
        SCOPED_TRACE(entry.language);
        if (entry.language >= 0)
            setLanguage(entry.language);
        const UnlockTexts& t = entry.texts;
        INT_PTR result = run<CUnlockDlg>([&](UnlockDriven& dlg) {
            EXPECT_EQ(dlg.caption(), t.caption);
            EXPECT_EQ(dlg.text(IDC_UNLOCK_PASSWORD_LABEL), t.label);
            EXPECT_EQ(dlg.text(IDOK), t.ok);
            EXPECT_EQ(dlg.text(IDCANCEL), t.cancel);
            EXPECT_EQ(GetFocus(), dlg.item(IDC_UNLOCK_PASSWORD));

            SetFocus(dlg.item(IDCANCEL));
            dlg.press(IDOK);
            expectOneWarning(dlg.hwnd(), t.empty);
            EXPECT_EQ(GetFocus(), dlg.item(IDC_UNLOCK_PASSWORD));
            EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));

            dlg.setEntry(IDC_UNLOCK_PASSWORD, "wrong");
            SetFocus(dlg.item(IDOK));
            dlg.press(IDOK);
            expectOneWarning(dlg.hwnd(), t.wrong);
            EXPECT_EQ(dlg.text(IDC_UNLOCK_PASSWORD), "");
            EXPECT_EQ(GetFocus(), dlg.item(IDC_UNLOCK_PASSWORD));
            EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));

            dlg.setEntry(IDC_UNLOCK_PASSWORD, "mauve");
            dlg.press(IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(messageBoxes().boxes.empty());
        removeProgramSettings();
    }
}

TEST_F(UnlockDlgTest, AbsentOrEmptyPwdAcceptsOnlyTheDefault) {
    EXPECT_EQ(refusesThenAccepts({"Mauve", "mauve ", "secret"}, "mauve"), IDOK);
    EXPECT_EQ(storedPwd(), "<absent>");
    writeSettingString("pwd", "");
    EXPECT_EQ(refusesThenAccepts({"MAUVE", "mauv"}, "mauve"), IDOK);
    EXPECT_EQ(storedPwd(), "");
}

TEST_F(UnlockDlgTest, StoredDigestDecidesAndIsReadAtEveryPress) {
    writeSettingString("pwd", PasswordDigest("secret"));
    EXPECT_EQ(refusesThenAccepts({"mauve", "Secret"}, "secret"), IDOK);

    // A digest in upper case matches nothing, the right password included.
    std::string upper = PasswordDigest("secret");
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    writeSettingString("pwd", upper);
    EXPECT_EQ(refusesThenAccepts({"secret", "mauve"}, "secret"), kStillOpen);
    messageBoxes().boxes.clear();

    // Letters code page 1252 cannot hold read as "?": they never pass for a password of question marks.
    ASSERT_EQ(GetACP(), 1252u);
    writeSettingString("pwd", PasswordDigest("??????"));
    EXPECT_EQ(refusesThenAccepts({"ЖЖЖЖЖЖ"}, "??????"), IDOK);
    // Letters it holds as look-alikes unlock with the digest earlier versions stored: "Wałęsa" as "Walesa".
    writeSettingString("pwd", PasswordDigest("Walesa"));
    EXPECT_EQ(refusesThenAccepts({}, "Wałęsa"), IDOK);

    // A password changed while the dialog is open counts at the next press.
    writeSettingString("pwd", PasswordDigest("secret"));
    INT_PTR result = run<CUnlockDlg>([&](UnlockDriven& dlg) {
        dlg.setEntry(IDC_UNLOCK_PASSWORD, "other");
        dlg.press(IDOK);
        expectOneWarning(dlg.hwnd(), kEnglish.wrong);
        writeSettingString("pwd", PasswordDigest("other"));
        dlg.setEntry(IDC_UNLOCK_PASSWORD, "other");
        dlg.press(IDOK);
    });
    EXPECT_EQ(result, IDOK);
}

TEST_F(UnlockDlgTest, CancelEscapeAndCloseBoxEndWithCancel) {
    EXPECT_EQ(run<CUnlockDlg>([](UnlockDriven& dlg) {
                  dlg.setEntry(IDC_UNLOCK_PASSWORD, "mauve");
                  dlg.press(IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_EQ(run<CUnlockDlg>([](UnlockDriven& dlg) {
                  dlg.setEntry(IDC_UNLOCK_PASSWORD, "mauve");
                  PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
              }),
              IDCANCEL);
    EXPECT_EQ(run<CUnlockDlg>([](UnlockDriven& dlg) { PostMessageW(dlg.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }),
              IDCANCEL);
    // Enter reaches OK through the default button.
    EXPECT_EQ(run<CUnlockDlg>([](UnlockDriven& dlg) {
                  dlg.setEntry(IDC_UNLOCK_PASSWORD, "mauve");
                  PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
              }),
              IDOK);
    EXPECT_TRUE(messageBoxes().boxes.empty());
    EXPECT_EQ(storedPwd(), "<absent>");
}

TEST_F(UnlockDlgTest, EntryTakesTwentyCharactersAndAllOfThemCount) {
    const std::string twenty = "abcdefghijklmnopqrst";
    writeSettingString("pwd", PasswordDigest(twenty));
    INT_PTR result = run<CUnlockDlg>([&](UnlockDriven& dlg) {
        HWND entry = dlg.item(IDC_UNLOCK_PASSWORD);
        EXPECT_EQ(SendMessageW(entry, EM_GETLIMITTEXT, 0, 0), 20);
        EXPECT_NE(GetWindowLongW(entry, GWL_STYLE) & ES_PASSWORD, 0);

        dlg.type(IDC_UNLOCK_PASSWORD, L"abcdefghijklmnopqrs");  // one short
        dlg.press(IDOK);
        expectOneWarning(dlg.hwnd(), kEnglish.wrong);

        dlg.type(IDC_UNLOCK_PASSWORD, L"abcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(dlg.text(IDC_UNLOCK_PASSWORD), twenty);
        SendMessageW(entry, EM_SETSEL, 0, -1);
        SendMessageW(entry, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"abcdefghijklmnopqrstuvwxyz"));
        EXPECT_EQ(dlg.text(IDC_UNLOCK_PASSWORD), twenty);
        dlg.press(IDOK);
    });
    EXPECT_EQ(result, IDOK);
}
