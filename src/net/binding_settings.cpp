#include "net/binding_settings.h"

#include <cstring>

#include "net/binding_commands.h"

BindingCheck checkBindingSettings(int32_t timer, const std::string& gwip, const std::string& gwmac) {
    BindingCheck check;
    const int32_t interval = intervalInForce(timer);
    const std::optional<Ipv4Bytes> ip = isDottedIpv4Text(gwip) ? parseIpv4Bytes(gwip) : std::nullopt;
    const std::optional<MacBytes> mac = pinnableMac(gwmac);
    if (interval <= 0)
        check.invalid = "timer";
    else if (!ip)
        check.invalid = "gwip";
    else if (!mac)
        check.invalid = "gwmac";
    if (check.invalid)
        return check;
    // The rows hold the address bytes in text order in memory, whatever the host order.
    uint32_t address;
    memcpy(&address, ip->data(), sizeof address);
    check.settings = BindingSettings{gwip, address, *mac, interval, bindPeriodMs(interval)};
    return check;
}
