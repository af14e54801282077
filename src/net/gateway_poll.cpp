#include "net/gateway_poll.h"

#include <vector>

#include "net/binding.h"
#include "sys/seams.h"

GatewayVerdict pollGateway(GatewayWatch& watch, const std::string& gwip, const std::string& gwmac, bool mayRebind) {
    std::vector<ArpRow> rows;
    uint32_t interfaceIndex = 0;
    if (!seams().readArpTable(rows) || !seams().bestInterface(watch.address(), interfaceIndex))
        return GatewayVerdict{};
    const uint32_t now = seams().tickCount();
    GatewayVerdict verdict = watch.check(rows, interfaceIndex, now);
    if (verdict.rebind && mayRebind && runBindCommand(gwip, gwmac))
        watch.bindCommandRan(now);
    return verdict;
}
