#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sys/win_handles.h"

// Stands in for the shell's notification area, so that a driver can read what the program shows there.
// Wine's shell32 hands every Shell_NotifyIcon call to the first top-level window of the class "Shell_TrayWnd"
// as WM_COPYDATA with a record of its own layout; this window is made topmost so that it comes before the one
// of Wine's explorer. It answers on a thread of its own: the program's call waits for the answer.
// Make it before the program starts, so that it sees the icon added.
class ShellTray {
  public:
    struct Notice {
        DWORD tick = 0;                          // GetTickCount when it arrived
        DWORD message = 0;                       // NIM_ADD, NIM_MODIFY, NIM_DELETE, ...
        UINT flags = 0;                          // NIF_* of the call
        std::wstring tip;                        // with NIF_TIP
        std::wstring balloonTitle, balloonText;  // with NIF_INFO
        DWORD balloonFlags = 0;
        std::string iconBits;  // with NIF_ICON: mask and colour bits, to tell two looks apart
    };

    ShellTray();
    ~ShellTray();
    ShellTray(const ShellTray&) = delete;
    ShellTray& operator=(const ShellTray&) = delete;

    // True when Shell_NotifyIcon reaches this window rather than another shell's.
    bool receivesNotifications() const;
    std::vector<Notice> notices() const;
    // The tooltip and icon bits as the latest calls that set them left them.
    std::wstring tooltip() const;
    std::string iconBits() const;
    // When the tooltip was first set to the text (GetTickCount); 0 when it never was.
    DWORD firstTickWithTip(const std::wstring& tip) const;
    // Every notice, one a line, for a failure's message.
    std::string describe() const;
    // The notices that showed a balloon, oldest first.
    std::vector<Notice> balloons() const;

  private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void record(DWORD message, const void* data, DWORD size);
    void run();

    mutable std::mutex mutex_;
    std::vector<Notice> notices_;
    HWND window_ = nullptr;
    UniqueKernelHandle ready_;
    std::thread thread_;
};
