#include "auth/password_dialogs.h"

#include <vector>

#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "res/resource.h"
#include "sys/text_encoding.h"
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

PasswordDialog::PasswordDialog(UINT templateId, HWND parent, int32_t language, std::initializer_list<UINT> entryIds)
    : CDialog(templateId, parent), language(language) {
    for (UINT id : entryIds)
        limits_.emplace_back(id, PasswordEntryLimit(kMaxPasswordBytes));
}

void PasswordDialog::SetTexts(unsigned captionId, std::initializer_list<std::pair<UINT, unsigned>> labels) {
    SetWindowText(uiText(captionId, language));
    for (const auto& [controlId, textId] : labels)
        SetDlgItemText(controlId, uiText(textId, language));
    SetDlgItemText(IDOK, uiText(IDS_OK_BUTTON, language));
    SetDlgItemText(IDCANCEL, uiText(IDS_CANCEL_BUTTON, language));
}

void PasswordDialog::Warn(unsigned messageId) {
    MessageBox(uiText(messageId, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
}

CodePageFit PasswordDialog::entryFit(UINT entryId) const {
    HWND entry = GetDlgItem(entryId);
    int length = GetWindowTextLengthW(entry);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    length = GetWindowTextW(entry, buffer.data(), length + 1);
    const std::wstring text(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
    if (fitsAnsiCodePage(text))
        return CodePageFit::Whole;
    return needsAnsiDefaultChar(text) ? CodePageFit::Default : CodePageFit::BestFit;
}

bool PasswordDialog::OnCommand(UINT id, UINT code) {
    if (code == EN_CHANGE) {
        for (auto& [entryId, limit] : limits_) {
            if (entryId == id) {
                limit.OnChange(GetDlgItem(id));
                return true;
            }
        }
    }
    return CDialog::OnCommand(id, code);
}

CUnlockDlg::CUnlockDlg(HWND parent, int32_t language)
    : PasswordDialog(IDD_UNLOCK, parent, language, {IDC_UNLOCK_PASSWORD}) {}

void CUnlockDlg::DoDataExchange(DataExchange& dx) {
    dx.text(IDC_UNLOCK_PASSWORD, password, kMaxPasswordBytes);
}

BOOL CUnlockDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTexts(IDS_UNLOCK_CAPTION, {{IDC_UNLOCK_PASSWORD_LABEL, IDS_UNLOCK_PASSWORD_LABEL}});
    return TRUE;  // the focus goes to the password entry, the first tab stop
}

// Any number of attempts; the stored digest is read afresh each time so a change made meanwhile counts.
void CUnlockDlg::OnOK() {
    std::string storedDigest = StoredPasswordDigest();
    if (!UpdateData(true))
        return;
    switch (CheckUnlock(password, storedDigest, entryFit(IDC_UNLOCK_PASSWORD))) {
        case UnlockCheck::EmptyEntry:
            Warn(IDS_UNLOCK_EMPTY_ENTRY);
            break;
        case UnlockCheck::WrongPassword:
            Warn(IDS_UNLOCK_WRONG_PASSWORD);
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
    : PasswordDialog(IDD_CHANGE_PASSWORD,
                     parent,
                     language,
                     {IDC_CHANGE_OLD_PASSWORD, IDC_CHANGE_NEW_PASSWORD, IDC_CHANGE_CONFIRM_PASSWORD}) {}

void CChangePasswordDlg::DoDataExchange(DataExchange& dx) {
    dx.text(IDC_CHANGE_OLD_PASSWORD, oldPassword, kMaxPasswordBytes);
    dx.text(IDC_CHANGE_NEW_PASSWORD, newPassword, kMaxPasswordBytes);
    dx.text(IDC_CHANGE_CONFIRM_PASSWORD, confirmPassword, kMaxPasswordBytes);
}

BOOL CChangePasswordDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTexts(IDS_CHANGE_PASSWORD_CAPTION, {{IDC_CHANGE_OLD_LABEL, IDS_OLD_PASSWORD_LABEL},
                                           {IDC_CHANGE_NEW_LABEL, IDS_NEW_PASSWORD_LABEL},
                                           {IDC_CHANGE_CONFIRM_LABEL, IDS_CONFIRM_PASSWORD_LABEL}});
    return TRUE;  // the focus goes to the old password entry, the first tab stop
}

// The first failing check refuses with its message and leaves the dialog open; the old password is
// checked last, after the new one and its confirmation.
void CChangePasswordDlg::OnOK() {
    std::string storedDigest = StoredPasswordDigest();
    if (!UpdateData(true))
        return;
    int focusId = IDC_CHANGE_OLD_PASSWORD;
    const PasswordEntriesFit fit{entryFit(IDC_CHANGE_OLD_PASSWORD), entryFit(IDC_CHANGE_NEW_PASSWORD),
                                 entryFit(IDC_CHANGE_CONFIRM_PASSWORD)};
    switch (CheckChangePassword(oldPassword, newPassword, confirmPassword, storedDigest, fit)) {
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
        case ChangePasswordCheck::NewDoesNotFit:
            Warn(IDS_NEW_PASSWORD_DOES_NOT_FIT);
            newPassword.clear();
            confirmPassword.clear();
            UpdateData(false);
            focusId = IDC_CHANGE_NEW_PASSWORD;
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
        case ChangePasswordCheck::Accepted:
            // Written even when unchanged, so that a write that fails is told; the old password stays.
            if (CRegStringValue(kPwdValuePath, "").store(PasswordDigest(newPassword)) != ERROR_SUCCESS) {
                Warn(IDS_PASSWORD_NOT_SAVED);
                break;
            }
            EndDialog(IDOK);
            return;
    }
    SetFocus(GetDlgItem(focusId));
}
