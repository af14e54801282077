#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// How the syslog sender spends the network: what waits while a TCP collector is away, how many alerts a minute go
// at most, how soon it connects again. Times are milliseconds of a clock that wraps (GetTickCount): only the
// difference between two readings is used.

// Messages kept while a TCP collector cannot take them. Full, the oldest go first: the newest say how things stand.
constexpr size_t kSyslogBacklogCapacity = 1000;
// At most this many alerts a minute: a gateway that flaps, or an attack that keeps answering, must not flood the
// collector or the link.
constexpr uint32_t kSyslogMessagesPerMinute = 60;
constexpr uint32_t kReconnectFirstDelayMs = 1000;
constexpr uint32_t kReconnectMaxDelayMs = 30000;

// First in, first out, bounded; counts what was pushed out, so that a later message can say how many were lost.
class SyslogBacklog {
public:
    explicit SyslogBacklog(size_t capacity = kSyslogBacklogCapacity);

    void push(std::string message);
    bool empty() const { return count_ == 0; }
    size_t size() const { return count_; }
    // The oldest message, taken out; empty when there is none.
    std::string take();
    // The messages dropped since the last call.
    uint32_t takeDropped();

private:
    std::vector<std::string> ring_;
    size_t head_ = 0;
    size_t count_ = 0;
    uint32_t dropped_ = 0;
};

// A token bucket: a burst of up to the minute's allowance, then one message per share of the minute.
class SyslogRateCap {
public:
    explicit SyslogRateCap(uint32_t perMinute = kSyslogMessagesPerMinute);

    // Whether a message may go now. None: hold it back (it is counted). A count: it goes, and says that this many
    // were held back since the last one that went.
    std::optional<uint32_t> admit(uint32_t nowMs);

private:
    uint64_t perMinute_;
    uint64_t credit_;  // in milliseconds times perMinute_: one message costs a minute's worth
    uint32_t lastMs_ = 0;
    bool started_ = false;
    uint32_t heldBack_ = 0;
};

// The wait before connecting again: 1 s after the first failure, doubling up to 30 s, back to 1 s after a success.
class ReconnectBackoff {
public:
    void failed(uint32_t nowMs);
    void succeeded() { delayMs_ = 0; }
    // How long until the next try: 0 when it is due (and before any failure).
    uint32_t waitMs(uint32_t nowMs) const;
    // The delay the last failure set; 0 after a success.
    uint32_t delayMs() const { return delayMs_; }

private:
    uint32_t delayMs_ = 0;
    uint32_t failedAtMs_ = 0;
};
