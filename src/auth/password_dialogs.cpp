#include "auth/password_dialogs.h"

#include <vector>

#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "res/resource.h"
#include "sys/ui_text.h"

std::string StoredPasswordDigest() {
    return EffectivePasswordDigest(CRegStringValue(kPwdValuePath, "").read());
}

void PasswordEntryLimit::OnChange(HWND edit) {
    if (restoring_)
        return;
    int length = GetWindowTextLengthW(edit);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    length = GetWindowTextW(edit, text.data(), length + 1);
    int bytes = length == 0 ? 0 : WideCharToMultiByte(codePage_, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= maxBytes_) {
        accepted_.assign(text.data(), static_cast<size_t>(length));
        return;
    }

    // Put the caret back where the refused input began.
    DWORD caret = 0;
    SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    int grown = length - static_cast<int>(accepted_.size());
    int position = static_cast<int>(caret) - (grown > 0 ? grown : 0);
    if (position < 0 || position > static_cast<int>(accepted_.size()))
        position = static_cast<int>(accepted_.size());

    restoring_ = true;
    SetWindowTextW(edit, accepted_.c_str());
    restoring_ = false;
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(position), static_cast<LPARAM>(position));
    MessageBeep(MB_OK);
}

CUnlockDlg::CUnlockDlg(HWND parent, int32_t language) : CDialog(IDD_UNLOCK, parent), language(language) {}

void CUnlockDlg::DoDataExchange(DataExchange& dx) {
    dx.text(IDC_UNLOCK_PASSWORD, password, kMaxPasswordBytes);
}

BOOL CUnlockDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(uiText(IDS_UNLOCK_CAPTION, language));
    SetDlgItemText(IDC_UNLOCK_PASSWORD_LABEL, uiText(IDS_UNLOCK_PASSWORD_LABEL, language));
    SetDlgItemText(IDOK, uiText(IDS_OK_BUTTON, language));
    SetDlgItemText(IDCANCEL, uiText(IDS_CANCEL_BUTTON, language));
    return TRUE;  // the focus goes to the password entry, the first tab stop
}

bool CUnlockDlg::OnCommand(UINT id, UINT code) {
    if (id == IDC_UNLOCK_PASSWORD && code == EN_CHANGE) {
        passwordLimit_.OnChange(GetDlgItem(IDC_UNLOCK_PASSWORD));
        return true;
    }
    return CDialog::OnCommand(id, code);
}

// Any number of attempts; the stored digest is read afresh each time so a change made meanwhile counts.
void CUnlockDlg::OnOK() {
    std::string storedDigest = StoredPasswordDigest();
    if (!UpdateData(true))
        return;
    switch (CheckUnlock(password, storedDigest)) {
        case UnlockCheck::EmptyEntry:
            MessageBox(uiText(IDS_UNLOCK_EMPTY_ENTRY, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            break;
        case UnlockCheck::WrongPassword:
            MessageBox(uiText(IDS_UNLOCK_WRONG_PASSWORD, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            password.clear();
            UpdateData(false);
            break;
        case UnlockCheck::Accepted:
            EndDialog(IDOK);
            return;
    }
    SetFocus(GetDlgItem(IDC_UNLOCK_PASSWORD));
}

CChangePasswordDlg::CChangePasswordDlg(HWND parent, int32_t language)
    : CDialog(IDD_CHANGE_PASSWORD, parent), language(language) {}

void CChangePasswordDlg::DoDataExchange(DataExchange& dx) {
    dx.text(IDC_CHANGE_OLD_PASSWORD, oldPassword, kMaxPasswordBytes);
    dx.text(IDC_CHANGE_NEW_PASSWORD, newPassword, kMaxPasswordBytes);
    dx.text(IDC_CHANGE_CONFIRM_PASSWORD, confirmPassword, kMaxPasswordBytes);
}

BOOL CChangePasswordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(uiText(IDS_CHANGE_PASSWORD_CAPTION, language));
    SetDlgItemText(IDC_CHANGE_OLD_LABEL, uiText(IDS_OLD_PASSWORD_LABEL, language));
    SetDlgItemText(IDC_CHANGE_NEW_LABEL, uiText(IDS_NEW_PASSWORD_LABEL, language));
    SetDlgItemText(IDC_CHANGE_CONFIRM_LABEL, uiText(IDS_CONFIRM_PASSWORD_LABEL, language));
    SetDlgItemText(IDOK, uiText(IDS_OK_BUTTON, language));
    SetDlgItemText(IDCANCEL, uiText(IDS_CANCEL_BUTTON, language));
    return TRUE;  // the focus goes to the old password entry, the first tab stop
}

bool CChangePasswordDlg::OnCommand(UINT id, UINT code) {
    if (code == EN_CHANGE) {
        switch (id) {
            case IDC_CHANGE_OLD_PASSWORD:
                oldLimit_.OnChange(GetDlgItem(id));
                return true;
            case IDC_CHANGE_NEW_PASSWORD:
                newLimit_.OnChange(GetDlgItem(id));
                return true;
            case IDC_CHANGE_CONFIRM_PASSWORD:
                confirmLimit_.OnChange(GetDlgItem(id));
                return true;
        }
    }
    return CDialog::OnCommand(id, code);
}

// The first failing check refuses with its message and leaves the dialog open; the old password is
// checked last, after the new one and its confirmation.
void CChangePasswordDlg::OnOK() {
    std::string storedDigest = StoredPasswordDigest();
    if (!UpdateData(true))
        return;
    int focusId = IDC_CHANGE_OLD_PASSWORD;
    switch (CheckChangePassword(oldPassword, newPassword, confirmPassword, storedDigest)) {
        case ChangePasswordCheck::OldEmpty:
            Warn(IDS_OLD_PASSWORD_EMPTY);
            break;
        case ChangePasswordCheck::NewEmpty:
            Warn(IDS_NEW_PASSWORD_EMPTY);
            focusId = IDC_CHANGE_NEW_PASSWORD;
            break;
        case ChangePasswordCheck::ConfirmEmpty:
            Warn(IDS_CONFIRM_PASSWORD_EMPTY);
            focusId = IDC_CHANGE_CONFIRM_PASSWORD;
            break;
        case ChangePasswordCheck::ConfirmDiffers:
            Warn(IDS_CONFIRM_PASSWORD_WRONG);
            confirmPassword.clear();
            UpdateData(false);
            focusId = IDC_CHANGE_CONFIRM_PASSWORD;
            break;
        case ChangePasswordCheck::NewIsDefault:
            Warn(IDS_NEW_PASSWORD_IS_DEFAULT);
            confirmPassword.clear();
            UpdateData(false);
            focusId = IDC_CHANGE_CONFIRM_PASSWORD;
            break;
        case ChangePasswordCheck::OldWrong:
            Warn(IDS_OLD_PASSWORD_WRONG);
            oldPassword.clear();
            newPassword.clear();
            confirmPassword.clear();
            UpdateData(false);
            break;
        case ChangePasswordCheck::Accepted: {
            CRegStringValue pwd(kPwdValuePath, "");
            pwd = PasswordDigest(newPassword);
            EndDialog(IDOK);
            return;
        }
    }
    SetFocus(GetDlgItem(focusId));
}

void CChangePasswordDlg::Warn(unsigned messageId) {
    MessageBox(uiText(messageId, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
}
