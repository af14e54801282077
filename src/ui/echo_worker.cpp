#include "ui/echo_worker.h"

#include "sys/seams.h"

EchoWorker::~EchoWorker() {
    if (!thread_)
        return;
    InterlockedExchange(&ending_, 1);
    SetEvent(requested_.get());
    // An echo under way ends by its own timeout; a thread that is stuck beyond that is left to the process's end.
    WaitForSingleObject(thread_.get(), timeoutMs_ + 2000);
}

bool EchoWorker::start(HWND window, UINT message, WPARAM ticket, uint32_t addrNetworkOrder, unsigned timeoutMs) {
    if (busy())
        return false;
    if (!thread_) {
        requested_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!requested_)
            return false;
        thread_.reset(CreateThread(nullptr, 0, run, this, 0, nullptr));
        if (!thread_)
            return false;
    }
    window_ = window;
    message_ = message;
    ticket_ = ticket;
    address_ = addrNetworkOrder;
    timeoutMs_ = timeoutMs;
    InterlockedExchange(&busy_, 1);
    SetEvent(requested_.get());
    return true;
}

DWORD WINAPI EchoWorker::run(void* self) {
    auto& worker = *static_cast<EchoWorker*>(self);
    for (;;) {
        if (WaitForSingleObject(worker.requested_.get(), INFINITE) != WAIT_OBJECT_0 || worker.ending_)
            return 0;
        const bool answered = seams().echo(worker.address_, worker.timeoutMs_);
        // Free for the next echo before the window hears of this one.
        const HWND window = worker.window_;
        const UINT message = worker.message_;
        const WPARAM ticket = worker.ticket_;
        InterlockedExchange(&worker.busy_, 0);
        PostMessageW(window, message, ticket, answered ? 1 : 0);
    }
}
