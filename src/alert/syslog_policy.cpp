#include "alert/syslog_policy.h"

#include <algorithm>
#include <utility>

namespace {

constexpr uint64_t kMinuteMs = 60000;

}  // namespace

SyslogBacklog::SyslogBacklog(size_t capacity) : ring_(std::max<size_t>(capacity, 1)) {}

void SyslogBacklog::push(std::string message) {
    if (count_ == ring_.size()) {
        take();
        if (dropped_ < UINT32_MAX)
            ++dropped_;
    }
    ring_[(head_ + count_) % ring_.size()] = std::move(message);
    ++count_;
}

std::string SyslogBacklog::take() {
    if (count_ == 0)
        return {};
    std::string oldest = std::move(ring_[head_]);
    head_ = (head_ + 1) % ring_.size();
    --count_;
    return oldest;
}

uint32_t SyslogBacklog::takeDropped() {
    return std::exchange(dropped_, 0);
}

SyslogRateCap::SyslogRateCap(uint32_t perMinute)
    : perMinute_(std::max<uint32_t>(perMinute, 1)), credit_(kMinuteMs * perMinute_) {}

std::optional<uint32_t> SyslogRateCap::admit(uint32_t nowMs) {
    if (started_) {
        // Wrapping subtraction: right across the clock's wrap. A full bucket needs only a minute, so a gap beyond
        // what 32 bits hold cannot matter.
        const uint64_t elapsed = static_cast<uint32_t>(nowMs - lastMs_);
        credit_ = std::min(credit_ + elapsed * perMinute_, kMinuteMs * perMinute_);
    }
    started_ = true;
    lastMs_ = nowMs;
    if (credit_ < kMinuteMs) {
        if (heldBack_ < UINT32_MAX)
            ++heldBack_;
        return std::nullopt;
    }
    credit_ -= kMinuteMs;
    return std::exchange(heldBack_, 0);
}

void ReconnectBackoff::failed(uint32_t nowMs) {
    delayMs_ = delayMs_ == 0 ? kReconnectFirstDelayMs : std::min(delayMs_ * 2, kReconnectMaxDelayMs);
    failedAtMs_ = nowMs;
}

uint32_t ReconnectBackoff::waitMs(uint32_t nowMs) const {
    const uint32_t elapsed = nowMs - failedAtMs_;
    return elapsed >= delayMs_ ? 0 : delayMs_ - elapsed;
}
