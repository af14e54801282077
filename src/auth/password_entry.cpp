#include "auth/password_entry.h"

#include <vector>

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
