#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "alert/syslog_collector.h"
#include "alert/syslog_message.h"
#include "alert/syslog_policy.h"
#include "sys/win_handles.h"

struct SocketTraits {
    static SOCKET invalid() { return INVALID_SOCKET; }
    static bool valid(SOCKET socket) { return socket != INVALID_SOCKET; }
    static void close(SOCKET socket);
};
using UniqueSocket = UniqueHandle<SOCKET, SocketTraits>;

// How long stop() lets the thread go on sending what waits.
constexpr DWORD kSyslogStopGraceMs = 2000;

// Sends the alerts to one syslog collector from a thread of its own, so that neither the window nor the service ever
// waits on the network or a name server. UDP: one datagram per message. TCP: octet counting over one connection,
// kept while the collector keeps it; while the collector cannot be reached the messages wait in a bounded backlog
// and the connection is tried again after a growing wait. Winsock comes from the system folder, loaded at first use.
class SyslogSender {
public:
    SyslogSender() = default;
    ~SyslogSender() { stop(); }
    SyslogSender(const SyslogSender&) = delete;
    SyslogSender& operator=(const SyslogSender&) = delete;

    // Starts the thread for the collector; version is the program's, for the origin element. False when a thread
    // runs already, or Winsock or the thread cannot be had.
    bool start(const SyslogCollector& collector, std::string_view version);
    // Formats and queues one alert, and returns at once; any thread may call it between start and stop, which its
    // owner calls. False when no thread runs or the rate cap held the alert back (counted: the next alert that goes
    // says how many as "held_back").
    bool send(SyslogSeverity severity, std::string_view msgId, std::span<const SyslogField> fields);
    // Lets the thread send what waits for up to graceMs, then ends it. A name lookup under way is not cut short: the
    // system's resolver ends it by its own timeout.
    void stop(DWORD graceMs = kSyslogStopGraceMs);

private:
    static DWORD WINAPI run(void* self);
    void work();
    int waitAny(const HANDLE* handles, DWORD count, DWORD startedAt, DWORD timeoutMs, bool untilStop);
    bool connectToCollector();
    bool connected(SOCKET socket, DWORD startedAt);
    bool sendAll(std::string_view bytes);
    void noticeClose();
    std::string takeNext();
    void reportLost();
    void queueLocked(SyslogSeverity severity, std::string_view msgId, std::span<const SyslogField> fields);

    // Set by start() before the thread runs, read-only afterwards.
    SyslogCollector collector_;
    std::string version_;
    std::string hostname_;
    std::string procId_;
    UniqueKernelHandle wake_;     // auto reset: a message was queued
    UniqueKernelHandle stop_;     // manual reset
    UniqueKernelHandle network_;  // manual reset: the socket's connect, write and close events
    UniqueKernelHandle thread_;
    DWORD graceMs_ = 0;  // written before stop_ is set

    // Shared between the callers and the thread, under lock_.
    SRWLOCK lock_ = SRWLOCK_INIT;
    SyslogBacklog backlog_;
    SyslogRateCap rateCap_;
    uint32_t sequenceId_ = 0;

    // The thread's own.
    UniqueSocket socket_;
    ReconnectBackoff backoff_;
    bool stopping_ = false;
    DWORD stopAt_ = 0;
};
