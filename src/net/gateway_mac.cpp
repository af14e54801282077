#include <winsock2.h>
#include <windows.h>

#include <vector>

#include "net/adapter_selection.h"
#include "net/arp_match.h"
#include "net/binding_commands.h"
#include "net/gateway_mac.h"
#include "sys/seams.h"

namespace {

constexpr unsigned kResolveWaitMs = 1000;

}  // namespace

std::optional<MacBytes> resolveGatewayMac(const std::string& gateway) {
    // An empty, unset or malformed text would only ping nothing and could match the cache's broadcast row.
    if (isUnsetAddress(gateway) || !parseIpv4Bytes(gateway))
        return std::nullopt;
    unsigned long addr = inet_addr(gateway.c_str());
    if (addr == INADDR_NONE)
        return std::nullopt;
    auto ping = formatPingCommand(gateway);
    if (!ping)
        return std::nullopt;

    seams().runHidden(ping->c_str());
    // The ping is not waited for: after this second the cache is read whatever it has done.
    seams().wait(kResolveWaitMs);
    std::vector<ArpRow> rows;
    seams().readArpTable(rows);
    return matchArpRow(rows, static_cast<uint32_t>(addr));
}
