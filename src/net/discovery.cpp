#include <windows.h>

#include <cstring>
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
    // An empty, unset or malformed text would only ping nothing and could match the cache's broadcast row. A
    // text the ping takes is a plain dotted address, whose bytes are those the cache's rows hold.
    const auto ping = formatPingCommand(gateway);
    const std::optional<Ipv4Bytes> ip = parseIpv4Bytes(gateway);
    if (isUnsetAddress(gateway) || !ping || !ip)
        return std::nullopt;
    uint32_t addr;  // in text order in memory, as the rows hold it
    memcpy(&addr, ip->data(), sizeof addr);
    if (addr == 0xFFFFFFFFu)  // the broadcast address: no gateway, and the cache's broadcast row would match
        return std::nullopt;

    seams().runCommand(ping->c_str(), SW_HIDE, ProgramLookup::SystemFolderOnly);
    // The ping is not waited for: after this second the cache is read whatever it has done.
    seams().wait(kResolveWaitMs);
    std::vector<ArpRow> rows;
    if (!seams().readArpTable(rows))
        return std::nullopt;
    return matchArpRow(rows, addr, interfaceIndex);
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

    found.localMacKnown = true;
    found.localMac = macByteTexts(adapter->mac);

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
