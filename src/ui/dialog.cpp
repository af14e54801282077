#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <vector>

#include "sys/seams.h"
#include "sys/text_encoding.h"
#include "sys/ui_text.h"
#include "ui/dialog.h"

namespace {

// For these messages the dialog manager takes the answer from the dialog procedure's return value and never
// looks at DWLP_MSGRESULT (a drag icon answered through it would come back as TRUE).
bool answeredByReturnValue(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

INT_PTR CDialog::DoModal() {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent_, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result) {
    ::EndDialog(hwnd_, result);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        dialog->hwnd_ = hwnd;
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!dialog)
        return FALSE;
    INT_PTR handled = dialog->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->hwnd_ = nullptr;
    }
    return handled;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_TIMER:
            OnTimer(wParam);
            return TRUE;
        case WM_SYSCOMMAND:
            return OnSysCommand(static_cast<UINT>(wParam), lParam);
        case WM_PAINT:
            return OnPaint();
        case WM_MOUSEMOVE:
            return OnMouseMove(static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_LBUTTONDOWN:
            return OnLButtonDown(static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_DESTROY:
            OnDestroy();
            return TRUE;
        default: {
            LRESULT result = 0;
            if (!OnMessage(message, wParam, lParam, result))
                return FALSE;
            if (answeredByReturnValue(message))
                return static_cast<INT_PTR>(result);
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(DataExchange&) {}

bool CDialog::OnCommand(UINT id, UINT) {
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnTimer(UINT_PTR) {}

bool CDialog::OnSysCommand(UINT, LPARAM) {
    return false;
}

bool CDialog::OnPaint() {
    return false;
}

bool CDialog::OnMouseMove(UINT, POINT) {
    return false;
}

bool CDialog::OnLButtonDown(UINT, POINT) {
    return false;
}

void CDialog::OnDestroy() {}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool CDialog::UpdateData(bool save) {
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    return !dx.failed();
}

int CDialog::MessageBox(const std::string& text, const char* caption, UINT flags) {
    return seams().messageBox(hwnd_, text.c_str(), caption, flags);
}

void CDialog::SetDlgItemText(int id, const std::string& utf8) {
    SetDlgItemTextW(hwnd_, id, utf8ToWide(utf8).c_str());
}

void CDialog::SetWindowText(const std::string& utf8) {
    SetWindowTextW(hwnd_, utf8ToWide(utf8).c_str());
}

HWND CDialog::GetDlgItem(int id) const {
    return ::GetDlgItem(hwnd_, id);
}

void DataExchange::text(int id, std::string& member, int maxBytes) {
    if (failed_)
        return;
    HWND control = dialog_.GetDlgItem(id);
    if (!save_) {
        if (maxBytes > 0)
            SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(maxBytes), 0);
        SetWindowTextW(control, ansiToWide(member).c_str());
        return;
    }
    int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(control, buffer.data(), length + 1);
    std::string value = wideToAnsi(buffer.data());
    if (maxBytes > 0 && value.size() > static_cast<size_t>(maxBytes)) {
        char message[96];
        snprintf(message, sizeof message, "Please enter no more than %d characters.", maxBytes);
        dialog_.MessageBox(message, kInformationCaption, MB_OK | MB_ICONEXCLAMATION);
        SetFocus(control);
        SendMessageW(control, EM_SETSEL, 0, -1);
        failed_ = true;
        return;
    }
    member = std::move(value);
}

void DataExchange::check(int id, int& member) {
    if (failed_)
        return;
    HWND control = dialog_.GetDlgItem(id);
    if (save_)
        member = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(member), 0);
}
