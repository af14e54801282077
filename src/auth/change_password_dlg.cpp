#include "auth/change_password_dlg.h"

#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "res/resource.h"
#include "sys/ui_text.h"

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
