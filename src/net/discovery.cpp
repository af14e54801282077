#include "net/discovery.h"

#include "net/adapter_selection.h"
#include "net/gateway_mac.h"
#include "net/local_adapter.h"

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
    auto learntMac = resolveGatewayMac(gatewayText);
    if (!learntMac)
        return found;
    found.gwmac = formatMacText(*learntMac);
    found.gatewayMacKnown = true;
    found.gatewayMac = macByteTexts(*learntMac);
    return found;
}
