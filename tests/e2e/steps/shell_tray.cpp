#include "steps/shell_tray.h"

#include <shellapi.h>

#include <cstring>
#include <string>

namespace {

// The record Wine's shell32 sends (the same layout for 32- and 64-bit callers), followed by the icon's mask
// and colour bits when NIF_ICON is set.
struct WineNotifyRecord {
    LONG window;
    UINT id;
    UINT flags;
    UINT callbackMessage;
    WCHAR tip[128];
    DWORD state;
    DWORD stateMask;
    WCHAR info[256];
    UINT timeoutOrVersion;
    WCHAR infoTitle[64];
    DWORD infoFlags;
    GUID item;
    UINT width;
    UINT height;
    UINT planes;
    UINT bitsPerPixel;
};

std::wstring bounded(const WCHAR* text, size_t capacity) {
    size_t length = 0;
    while (length < capacity && text[length])
        ++length;
    return std::wstring(text, length);
}

const wchar_t kClassName[] = L"Shell_TrayWnd";

}  // namespace

ShellTray::ShellTray() : ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this] { run(); });
    WaitForSingleObject(ready_.get(), 10000);
}

ShellTray::~ShellTray() {
    if (window_)
        PostMessageW(window_, WM_CLOSE, 0, 0);
    if (thread_.joinable())
        thread_.join();
}

void ShellTray::run() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    SetEvent(ready_.get());
    MSG message;
    while (window && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    UnregisterClassW(kClassName, windowClass.hInstance);
}

LRESULT CALLBACK ShellTray::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tray = reinterpret_cast<ShellTray*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_COPYDATA: {
            const auto* copied = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (!tray || !copied)
                return FALSE;
            tray->record(static_cast<DWORD>(copied->dwData), copied->lpData, copied->cbData);
            return TRUE;
        }
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void ShellTray::record(DWORD message, const void* data, DWORD size) {
    WineNotifyRecord fields;
    if (!data || size < sizeof fields)
        return;
    std::memcpy(&fields, data, sizeof fields);
    Notice notice;
    notice.tick = GetTickCount();
    notice.message = message;
    notice.flags = fields.flags;
    if (fields.flags & NIF_TIP)
        notice.tip = bounded(fields.tip, 128);
    if (fields.flags & NIF_INFO) {
        notice.balloonTitle = bounded(fields.infoTitle, 64);
        notice.balloonText = bounded(fields.info, 256);
        notice.balloonFlags = fields.infoFlags;
    }
    if (fields.flags & NIF_ICON)
        notice.iconBits.assign(static_cast<const char*>(data) + sizeof fields, size - sizeof fields);
    std::lock_guard<std::mutex> lock(mutex_);
    notices_.push_back(notice);
}

bool ShellTray::receivesNotifications() const {
    return window_ && FindWindowExW(nullptr, nullptr, kClassName, nullptr) == window_;
}

std::vector<ShellTray::Notice> ShellTray::notices() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return notices_;
}

namespace {

// The member as the latest notice that set it (its flag given) left it.
template <typename Text>
Text latest(const std::vector<ShellTray::Notice>& notices, UINT flag, Text ShellTray::Notice::*member) {
    Text value;
    for (const ShellTray::Notice& notice : notices)
        if (notice.flags & flag)
            value = notice.*member;
    return value;
}

}  // namespace

std::wstring ShellTray::tooltip() const {
    return latest(notices(), NIF_TIP, &Notice::tip);
}

std::string ShellTray::iconBits() const {
    return latest(notices(), NIF_ICON, &Notice::iconBits);
}

DWORD ShellTray::firstTickWithTip(const std::wstring& tip) const {
    for (const Notice& notice : notices())
        if ((notice.flags & NIF_TIP) && notice.tip == tip)
            return notice.tick;
    return 0;
}

std::string ShellTray::describe() const {
    auto narrow = [](const std::wstring& text) {
        std::string utf8(text.size() * 3, '\0');
        int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0],
                                         static_cast<int>(utf8.size()), nullptr, nullptr);
        utf8.resize(length > 0 ? static_cast<size_t>(length) : 0);
        return utf8;
    };
    std::string lines = "notices to the shell:\n";
    for (const Notice& notice : notices()) {
        lines += "  " + std::to_string(notice.tick) + " message " + std::to_string(notice.message) + " flags " +
                 std::to_string(notice.flags) + " tip \"" + narrow(notice.tip) + "\"";
        if (notice.flags & NIF_INFO)
            lines += " balloon \"" + narrow(notice.balloonTitle) + "\" \"" + narrow(notice.balloonText) + "\"";
        lines += notice.iconBits.empty() ? "\n" : " icon of " + std::to_string(notice.iconBits.size()) + " bytes\n";
    }
    return lines;
}

std::vector<ShellTray::Notice> ShellTray::balloons() const {
    std::vector<Notice> shown;
    for (const Notice& notice : notices())
        if ((notice.flags & NIF_INFO) && !notice.balloonText.empty())
            shown.push_back(notice);
    return shown;
}
