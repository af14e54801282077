#pragma once
#include <windows.h>

#include <cstdint>

#include "sys/win_handles.h"

// Sends the watch's echoes off the window's thread, so that the window and its tray menu answer while the gateway is
// silent. One thread for the window's life, one echo at a time; each answer is posted back to the window.
class EchoWorker {
  public:
    EchoWorker() = default;
    // Waits for an echo under way (at most its timeout) before the thread goes.
    ~EchoWorker();
    EchoWorker(const EchoWorker&) = delete;
    EchoWorker& operator=(const EchoWorker&) = delete;

    // Sends one echo to the address (network byte order) and posts message(ticket, answered) to the window once it is
    // answered or timed out. False while an echo is under way, or when the thread cannot be made.
    bool start(HWND window, UINT message, WPARAM ticket, uint32_t addrNetworkOrder, unsigned timeoutMs);
    bool busy() const { return busy_ != 0; }

  private:
    static DWORD WINAPI run(void* self);

    UniqueKernelHandle requested_;  // auto reset: an echo to send, or the end
    UniqueKernelHandle thread_;
    // Written by the window before it sets requested_, read by the thread after it woke.
    HWND window_ = nullptr;
    UINT message_ = 0;
    WPARAM ticket_ = 0;
    uint32_t address_ = 0;
    unsigned timeoutMs_ = 0;
    volatile LONG busy_ = 0;
    volatile LONG ending_ = 0;
};
