#include "auth/unlock_dlg.h"

#include "res/resource.h"
#include "sys/ui_text.h"

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
