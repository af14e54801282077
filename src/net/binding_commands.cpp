#include "net/binding_commands.h"

#include <cstdarg>
#include <cstdio>

#include "net/address_text.h"

namespace {

// Formats into a zero-filled buffer of the given size; none when the line would be cut.
template <size_t Size>
std::optional<std::string> formatBounded(const char* format, ...) {
    char buffer[Size] = {};
    va_list args;
    va_start(args, format);
    int length = vsnprintf(buffer, Size, format, args);
    va_end(args);
    if (length < 0 || static_cast<size_t>(length) >= Size)
        return std::nullopt;
    return std::string(buffer, static_cast<size_t>(length));
}

}  // namespace

// The gateway texts come from the registry or a client package and may be anything: "arp -d *" would empty
// the whole ARP cache, so only an address and a MAC make a command.
std::optional<std::string> formatBindCommand(const std::string& gwip, const std::string& gwmac) {
    const std::optional<MacBytes> mac = pinnableMac(gwmac);
    if (!isDottedIpv4Text(gwip) || !mac)
        return std::nullopt;
    return formatBounded<kCommandBufferSize>("arp -s %s %s\r\n", gwip.c_str(), formatMacText(*mac).c_str());
}

std::optional<std::string> formatRemoveCommand(const std::string& gwip) {
    if (!isDottedIpv4Text(gwip))
        return std::nullopt;
    return formatBounded<kCommandBufferSize>("arp -d %s\r\n", gwip.c_str());
}

std::optional<std::string> formatPingCommand(const std::string& gateway) {
    if (!isDottedIpv4Text(gateway))
        return std::nullopt;
    return formatBounded<kPingBufferSize>("ping %s\n", gateway.c_str());
}

int32_t intervalInForce(int32_t stored) {
    if (stored == 0 || (stored >= kMinInterval && stored <= kMaxInterval))
        return stored;
    return kDefaultInterval;
}

uint32_t bindPeriodMs(int32_t interval) {
    if (interval <= 0)
        return 0;
    uint64_t period = static_cast<uint64_t>(interval) * 1000u;
    return period > kMaxTimerPeriodMs ? kMaxTimerPeriodMs : static_cast<uint32_t>(period);
}
