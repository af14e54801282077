#include <winsock2.h>
#include <windows.h>

#include <vector>

#include "net/binding_commands.h"
#include "net/discovery.h"
#include "sys/seams.h"

namespace {

constexpr unsigned kResolveWaitMs = 1000;

}  // namespace

std::optional<AdapterInfo> getLocalAdapter() {
    std::vector<AdapterInfo> adapters;
    if (!seams().readAdapters(adapters))
        return std::nullopt;
    return selectLocalAdapter(adapters);
}

std::optional<MacBytes> resolveGatewayMac(const std::string& gateway, uint32_t interfaceIndex) {
    // An empty, unset or malformed text would only ping nothing and could match the cache's broadcast row.
    if (isUnsetAddress(gateway) || !parseIpv4Bytes(gateway))
        return std::nullopt;
    unsigned long addr = inet_addr(gateway.c_str());
    if (addr == INADDR_NONE)
        return std::nullopt;
    auto ping = formatPingCommand(gateway);
    if (!ping)
        return std::nullopt;

    seams().runCommand(ping->c_str(), SW_HIDE, ProgramLookup::SystemFolderOnly);
    // The ping is not waited for: after this second the cache is read whatever it has done.
    seams().wait(kResolveWaitMs);
    std::vector<ArpRow> rows;
    if (!seams().readArpTable(rows))
        return std::nullopt;
    return matchArpRow(rows, static_cast<uint32_t>(addr), interfaceIndex);
}

NetworkDiscovery discoverNetwork(const std::string& gwip, const std::string& gwmac) {
    NetworkDiscovery found;
    found.gwmac = gwmac;

    auto adapter = getLocalAdapter();
    if (!adapter)
        return found;

    auto localIp = parseIpv4Bytes(adapter->ipAddress);
    if (!localIp)
        return found;
    found.localIpKnown = true;
    found.localIp = *localIp;

    auto localMac = parseMacBytes(adapter->mac);
    if (!localMac)
        return found;
    found.localMacKnown = true;
    found.localMac = macByteTexts(*localMac);

    // An adapter reporting 0.0.0.0 has no gateway to show.
    const std::string& gatewayText = gwip.empty() ? adapter->gateway : gwip;
    auto gatewayIp = gwip.empty() && isUnsetAddress(gatewayText) ? std::nullopt : parseIpv4Bytes(gatewayText);
    if (!gatewayIp)
        return found;
    found.gatewayIpKnown = true;
    found.gatewayIp = *gatewayIp;

    if (!gwmac.empty()) {
        auto storedMac = parseMacBytes(gwmac);
        if (!storedMac)
            return found;
        found.gatewayMacKnown = true;
        found.gatewayMac = macByteTexts(*storedMac);
        return found;
    }

    // The MAC is looked up for the gateway shown: pairing a stored address with another host's MAC would pin
    // a wrong entry and cut the machine off.
    auto learntMac = resolveGatewayMac(gatewayText, adapter->index);
    if (!learntMac)
        return found;
    found.gwmac = formatMacText(*learntMac);
    found.gatewayMacKnown = true;
    found.gatewayMac = macByteTexts(*learntMac);
    return found;
}
