// Checks of the gateway MAC bytes, the interval and the syslog collector as each edit loses the focus.
#include <windows.h>

#include <vector>

#include "res/resource.h"
#include "sys/text_encoding.h"
#include "sys/ui_text.h"
#include "ui/field_rules.h"
#include "ui/main_dlg.h"

namespace {

// Set while a check runs: its message box takes the focus from whichever edit the user moved to, and
// that edit is checked when the user leaves it, not because the box opened.
bool g_checkRunning = false;

std::string editText(HWND edit) {
    int length = GetWindowTextLengthW(edit);
    std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    GetWindowTextW(edit, buffer.data(), static_cast<int>(buffer.size()));
    return wideToAnsi(buffer.data());
}

}  // namespace

void CArpMainDlg::OnFieldKillFocus(int controlId) {
    std::string* member = nullptr;
    FieldKind kind = FieldKind::MacByte;
    if (controlId >= IDC_GATEWAY_MAC1 && controlId <= IDC_GATEWAY_MAC6) {
        member = &gatewayMac[static_cast<size_t>(controlId - IDC_GATEWAY_MAC1)];
    } else if (controlId == IDC_INTERVAL) {
        member = &intervalText;
        kind = FieldKind::Interval;
    } else if (controlId == IDC_SYSLOG) {
        member = &syslogText;
    }
    if (!member || g_checkRunning)
        return;
    g_checkRunning = true;

    // The member still holds the text of the last data exchange: that is what a refused value gives way to.
    std::string previousText = *member;
    UpdateData(true);
    HWND edit = GetDlgItem(controlId);
    if (member == &syslogText) {
        if (!syslogTextAccepted(editText(edit))) {
            MessageBox(uiText(IDS_SYSLOG_REFUSED, language), kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
            SetWindowTextW(edit, ansiToWide(restoredSyslogText(previousText)).c_str());
        }
    } else if (!fieldValueInRange(kind, readFieldValue(kind, editText(edit)))) {
        MessageBox(outOfRangeMessage(kind, uiText(IDS_OUT_OF_RANGE, language)), kInformationCaption,
                   MB_OK | MB_ICONINFORMATION);
        SetWindowTextW(edit, ansiToWide(restoredFieldText(kind, previousText)).c_str());
    }
    UpdateData(true);

    g_checkRunning = false;
}
