#include "auth/unlock_dlg.h"

#include "auth/auth_texts.h"
#include "res/resource.h"

CUnlockDlg::CUnlockDlg(HWND parent, int32_t language) : CDialog(IDD_UNLOCK, parent), language(language) {}

void CUnlockDlg::DoDataExchange(DataExchange& dx) {
    dx.text(IDC_UNLOCK_PASSWORD, password, kMaxPasswordBytes);
}

BOOL CUnlockDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(kUnlockCaption.in(language));
    SetDlgItemText(IDC_UNLOCK_PASSWORD_LABEL, kUnlockPasswordLabel.in(language));
    SetDlgItemText(IDOK, kOkButton.in(language));
    SetDlgItemText(IDCANCEL, kCancelButton.in(language));
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
            MessageBox(kUnlockEmptyEntry.in(language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            break;
        case UnlockCheck::WrongPassword:
            MessageBox(kUnlockWrongPassword.in(language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            password.clear();
            UpdateData(false);
            break;
        case UnlockCheck::Accepted:
            EndDialog(IDOK);
            return;
    }
    SetFocus(GetDlgItem(IDC_UNLOCK_PASSWORD));
}
