#include "alert/syslog_sender_win.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "sys/system_dlls.h"

namespace {

constexpr DWORD kConnectTimeoutMs = 10000;
constexpr DWORD kSendTimeoutMs = 10000;
constexpr int kTimedOut = -1;
constexpr int kStopped = -2;
// 100-nanosecond intervals from 1601-01-01 (FILETIME) to 1970-01-01.
constexpr uint64_t kUnixEpochFileTime = 116444736000000000;

// The Winsock functions the sender calls, from the system folder's ws2_32.dll, loaded by its full path once for the
// process; null where the system has none.
struct WinsockFunctions {
    decltype(&WSAStartup) startup = nullptr;
    decltype(&WSACleanup) cleanup = nullptr;
    decltype(&::socket) open = nullptr;
    decltype(&closesocket) close = nullptr;
    decltype(&::connect) connect = nullptr;
    decltype(&::send) send = nullptr;
    decltype(&::getaddrinfo) getaddrinfo = nullptr;
    decltype(&::freeaddrinfo) freeaddrinfo = nullptr;
    decltype(&WSAGetLastError) lastError = nullptr;
    decltype(&WSAEventSelect) eventSelect = nullptr;
    decltype(&WSAEnumNetworkEvents) enumNetworkEvents = nullptr;

    bool complete() const {
        return startup && cleanup && open && close && connect && send && getaddrinfo && freeaddrinfo && lastError &&
               eventSelect && enumNetworkEvents;
    }
};

WinsockFunctions g_winsock;
INIT_ONCE g_winsockLoaded = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK loadWinsock(INIT_ONCE*, void*, void**) {
    wchar_t path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    constexpr wchar_t kFile[] = L"\\ws2_32.dll";
    if (length == 0 || length + ARRAYSIZE(kFile) > MAX_PATH)
        return TRUE;
    std::copy(kFile, kFile + ARRAYSIZE(kFile), path + length);
    const HMODULE module = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    WinsockFunctions& ws = g_winsock;
    ws.startup = systemFunction<decltype(ws.startup)>(module, "WSAStartup");
    ws.cleanup = systemFunction<decltype(ws.cleanup)>(module, "WSACleanup");
    ws.open = systemFunction<decltype(ws.open)>(module, "socket");
    ws.close = systemFunction<decltype(ws.close)>(module, "closesocket");
    ws.connect = systemFunction<decltype(ws.connect)>(module, "connect");
    ws.send = systemFunction<decltype(ws.send)>(module, "send");
    ws.getaddrinfo = systemFunction<decltype(ws.getaddrinfo)>(module, "getaddrinfo");
    ws.freeaddrinfo = systemFunction<decltype(ws.freeaddrinfo)>(module, "freeaddrinfo");
    ws.lastError = systemFunction<decltype(ws.lastError)>(module, "WSAGetLastError");
    ws.eventSelect = systemFunction<decltype(ws.eventSelect)>(module, "WSAEventSelect");
    ws.enumNetworkEvents = systemFunction<decltype(ws.enumNetworkEvents)>(module, "WSAEnumNetworkEvents");
    return TRUE;
}

const WinsockFunctions& winsock() {
    InitOnceExecuteOnce(&g_winsockLoaded, loadWinsock, nullptr, nullptr);
    return g_winsock;
}

struct AddrInfoFree {
    void operator()(addrinfo* list) const { winsock().freeaddrinfo(list); }
};

class SrwGuard {
public:
    explicit SrwGuard(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~SrwGuard() { ReleaseSRWLockExclusive(&lock_); }
    SrwGuard(const SrwGuard&) = delete;
    SrwGuard& operator=(const SrwGuard&) = delete;

private:
    SRWLOCK& lock_;
};

// What is left of spanMs begun at startedAt, on a tick count that wraps.
DWORD remainingMs(DWORD now, DWORD startedAt, DWORD spanMs) {
    const DWORD elapsed = now - startedAt;
    return elapsed >= spanMs ? 0 : spanMs - elapsed;
}

uint64_t utcNowMs() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return ticks < kUnixEpochFileTime ? 0 : (ticks - kUnixEpochFileTime) / 10000;
}

// The name a collector files the messages under: the full DNS name where the machine has a domain.
std::string dnsHostName() {
    for (COMPUTER_NAME_FORMAT format : {ComputerNameDnsFullyQualified, ComputerNameDnsHostname}) {
        char name[256] = {};
        DWORD size = sizeof name;
        if (GetComputerNameExA(format, name, &size) && size > 0 && size < sizeof name)
            return std::string(name, size);
    }
    return {};
}

}  // namespace

void SocketTraits::close(SOCKET socket) {
    winsock().close(socket);
}

bool SyslogSender::start(const SyslogCollector& collector, std::string_view version) {
    if (thread_ || !winsock().complete())
        return false;
    collector_ = collector;
    version_ = version;
    hostname_ = dnsHostName();
    char procId[16];
    snprintf(procId, sizeof procId, "%lu", static_cast<unsigned long>(GetCurrentProcessId()));
    procId_ = procId;
    wake_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    network_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!wake_ || !stop_ || !network_)
        return false;
    stopping_ = false;
    backoff_.succeeded();
    thread_.reset(CreateThread(nullptr, 0, run, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

bool SyslogSender::send(SyslogSeverity severity, std::string_view msgId, std::span<const SyslogField> fields) {
    if (!thread_)
        return false;
    std::vector<SyslogField> all(fields.begin(), fields.end());
    char heldBack[16];
    {
        SrwGuard guard(lock_);
        const std::optional<uint32_t> admitted = rateCap_.admit(GetTickCount());
        if (!admitted)
            return false;
        if (*admitted > 0) {
            snprintf(heldBack, sizeof heldBack, "%lu", static_cast<unsigned long>(*admitted));
            all.push_back({"held_back", heldBack});
        }
        queueLocked(severity, msgId, all);
    }
    SetEvent(wake_.get());
    return true;
}

void SyslogSender::stop(DWORD graceMs) {
    if (!thread_)
        return;
    graceMs_ = graceMs;
    SetEvent(stop_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

// The sequence id is taken under the same lock as the backlog's order, so the ids a collector sees only grow, and
// a gap in them is a message lost on the way.
void SyslogSender::queueLocked(SyslogSeverity severity, std::string_view msgId, std::span<const SyslogField> fields) {
    sequenceId_ = nextSyslogSequenceId(sequenceId_);
    const SyslogRecord record{severity, msgId, utcNowMs(), hostname_, procId_, sequenceId_, version_, fields};
    const bool tcp = collector_.transport == SyslogTransport::Tcp;
    std::string message = formatSyslogMessage(record, tcp ? kSyslogTcpMaxLength : kSyslogUdpMaxLength);
    backlog_.push(tcp ? frameOctetCounted(message) : std::move(message));
}

std::string SyslogSender::takeNext() {
    SrwGuard guard(lock_);
    return backlog_.take();
}

// Once messages go again, one more says how many the full backlog pushed out meanwhile.
void SyslogSender::reportLost() {
    SrwGuard guard(lock_);
    const uint32_t lost = backlog_.takeDropped();
    if (lost == 0)
        return;
    char count[16];
    snprintf(count, sizeof count, "%lu", static_cast<unsigned long>(lost));
    const SyslogField fields[] = {{"lost", count}};
    queueLocked(SyslogSeverity::Warning, "LOST", fields);
}

DWORD WINAPI SyslogSender::run(void* self) {
    const WinsockFunctions& ws = winsock();
    WSADATA data;
    if (ws.startup(MAKEWORD(2, 2), &data) != 0)
        return 1;
    static_cast<SyslogSender*>(self)->work();
    static_cast<SyslogSender*>(self)->socket_.reset();
    ws.cleanup();
    return 0;
}

void SyslogSender::work() {
    std::string message;  // taken from the backlog, and kept through failures until it is sent
    for (;;) {
        const DWORD now = GetTickCount();
        if (!stopping_ && WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0)
            stopping_ = true, stopAt_ = now;
        if (stopping_ && remainingMs(now, stopAt_, graceMs_) == 0)
            return;
        if (message.empty())
            message = takeNext();
        if (message.empty()) {
            if (stopping_)
                return;
            const HANDLE handles[] = {wake_.get(), network_.get()};
            if (waitAny(handles, socket_ ? 2 : 1, now, INFINITE, true) == 1)
                noticeClose();
            continue;
        }
        if (!socket_) {
            if (const DWORD wait = backoff_.waitMs(now); wait > 0) {
                if (stopping_)
                    return;
                waitAny(nullptr, 0, now, wait, true);
                continue;
            }
            if (!connectToCollector()) {
                backoff_.failed(GetTickCount());
                continue;
            }
        }
        if (sendAll(message)) {
            message.clear();
            backoff_.succeeded();
            reportLost();
        } else {
            socket_.reset();
            backoff_.failed(GetTickCount());
        }
    }
}

// Waits for one of the handles until timeoutMs (INFINITE: no limit) after startedAt: the index of the one that was
// set, or kTimedOut. A stop asked meanwhile ends the wait when untilStop (kStopped), and otherwise cuts it to what
// is left of the stop's grace.
int SyslogSender::waitAny(const HANDLE* handles, DWORD count, DWORD startedAt, DWORD timeoutMs, bool untilStop) {
    HANDLE all[3] = {};
    std::copy(handles, handles + std::min<DWORD>(count, 2), all);
    for (;;) {
        const DWORD now = GetTickCount();
        DWORD left = timeoutMs == INFINITE ? INFINITE : remainingMs(now, startedAt, timeoutMs);
        if (stopping_)
            left = std::min(left, remainingMs(now, stopAt_, graceMs_));
        const DWORD waited = count + (stopping_ ? 0 : 1);
        if (!stopping_)
            all[count] = stop_.get();
        if (waited == 0)
            return kTimedOut;
        const DWORD woken = WaitForMultipleObjects(waited, all, FALSE, left);
        if (woken < WAIT_OBJECT_0 + count)
            return static_cast<int>(woken - WAIT_OBJECT_0);
        if (woken != WAIT_OBJECT_0 + count || stopping_)
            return kTimedOut;
        stopping_ = true, stopAt_ = GetTickCount();
        if (untilStop)
            return kStopped;
    }
}

bool SyslogSender::connectToCollector() {
    const WinsockFunctions& ws = winsock();
    const bool tcp = collector_.transport == SyslogTransport::Tcp;
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = tcp ? SOCK_STREAM : SOCK_DGRAM;
    hints.ai_protocol = tcp ? IPPROTO_TCP : IPPROTO_UDP;
    // A dotted address is never looked up (parseSyslogCollector took only the strict form).
    if (collector_.host.find_first_not_of("0123456789.") == std::string::npos)
        hints.ai_flags = AI_NUMERICHOST;
    char port[8];
    snprintf(port, sizeof port, "%u", static_cast<unsigned>(collector_.port));
    addrinfo* found = nullptr;
    if (ws.getaddrinfo(collector_.host.c_str(), port, &hints, &found) != 0 || !found)
        return false;
    const std::unique_ptr<addrinfo, AddrInfoFree> owner(found);
    for (const addrinfo* address = found; address; address = address->ai_next) {
        ResetEvent(network_.get());
        UniqueSocket socket(ws.open(address->ai_family, address->ai_socktype, address->ai_protocol));
        // The event makes the socket non-blocking: every wait below is one the thread chooses, and a stop cuts.
        if (!socket || ws.eventSelect(socket.get(), network_.get(), FD_CONNECT | FD_WRITE | FD_CLOSE) != 0)
            continue;
        const DWORD startedAt = GetTickCount();
        const int result = ws.connect(socket.get(), address->ai_addr, static_cast<int>(address->ai_addrlen));
        if (result == 0 || (ws.lastError() == WSAEWOULDBLOCK && connected(socket.get(), startedAt))) {
            socket_ = std::move(socket);
            return true;
        }
    }
    return false;
}

bool SyslogSender::connected(SOCKET socket, DWORD startedAt) {
    const HANDLE network = network_.get();
    while (waitAny(&network, 1, startedAt, kConnectTimeoutMs, false) == 0) {
        WSANETWORKEVENTS events = {};
        if (winsock().enumNetworkEvents(socket, network, &events) != 0)
            return false;
        if (events.lNetworkEvents & FD_CONNECT)
            return events.iErrorCode[FD_CONNECT_BIT] == 0;
    }
    return false;
}

// All of it, or false: a TCP frame cut short leaves the stream unreadable, so the connection goes and the whole
// frame is sent again over the next one.
bool SyslogSender::sendAll(std::string_view bytes) {
    const WinsockFunctions& ws = winsock();
    const DWORD startedAt = GetTickCount();
    while (!bytes.empty()) {
        const int sent = ws.send(socket_.get(), bytes.data(), static_cast<int>(bytes.size()), 0);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<size_t>(sent));
            continue;
        }
        if (sent != SOCKET_ERROR || ws.lastError() != WSAEWOULDBLOCK)
            return false;
        const HANDLE network = network_.get();
        WSANETWORKEVENTS events = {};
        if (waitAny(&network, 1, startedAt, kSendTimeoutMs, false) != 0 ||
            ws.enumNetworkEvents(socket_.get(), network, &events) != 0 || (events.lNetworkEvents & FD_CLOSE))
            return false;
    }
    return true;
}

// The socket's event was set while nothing waited to go: a collector that closed the connection is let go now, so
// that the next message connects again instead of failing first.
void SyslogSender::noticeClose() {
    WSANETWORKEVENTS events = {};
    if (winsock().enumNetworkEvents(socket_.get(), network_.get(), &events) != 0 || (events.lNetworkEvents & FD_CLOSE))
        socket_.reset();
}
