#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The longest period SetTimer accepts (USER_TIMER_MAXIMUM).
constexpr uint32_t kMaxTimerPeriodMs = 0x7FFFFFFF;

// System commands are formed in fixed buffers of these sizes; a line that does not fit is not run.
constexpr size_t kCommandBufferSize = 1024;
constexpr size_t kPingBufferSize = 128;

// "arp -s %s %s\r\n" with the gateway IP text and the MAC's bytes as two upper-case digits each, joined by
// "-" (the only form arp documents; the stored text may have one-digit groups or ":"). None unless the texts
// are a dotted IPv4 address and a pinnable MAC (isDottedIpv4Text, pinnableMac), or when the line would not fit.
std::optional<std::string> formatBindCommand(const std::string& gwip, const std::string& gwmac);
// "arp -d %s\r\n" with a gateway IP text; none unless it is a dotted IPv4 address, or when it would not fit.
std::optional<std::string> formatRemoveCommand(const std::string& gwip);
// "ping %s\n" with a gateway IP text; none unless it is a dotted IPv4 address, or when it would not fit.
std::optional<std::string> formatPingCommand(const std::string& gateway);

// The binding interval's range in seconds, and what stands for a stored value outside it.
constexpr int32_t kMinInterval = 1;
constexpr int32_t kMaxInterval = 3600;
constexpr int32_t kDefaultInterval = 60;

// The interval a stored or packaged value stands for: itself from 1 to 3600, the default for any other number
// but 0, which means none is stored (the binding then warns, as for a missing value).
int32_t intervalInForce(int32_t stored);

// Timer period for a positive interval in seconds, clamped to the longest period the system accepts.
uint32_t bindPeriodMs(int32_t interval);
