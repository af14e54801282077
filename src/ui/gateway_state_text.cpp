#include "ui/gateway_state_text.h"

#include <cstdio>

#include "net/suspects_text.h"

std::string gatewayStateText(const GatewayVerdict& verdict,
                             const std::string& gwip,
                             const MacBytes& pinned,
                             const std::string& pattern) {
    const std::string pinnedText = formatMacText(pinned);
    char tip[256] = {};
    int length = -1;
    switch (verdict.state) {
        case GatewayState::Protected:
            length = snprintf(tip, sizeof tip, pattern.c_str(), gwip.c_str(), pinnedText.c_str());
            break;
        case GatewayState::NotInEffect:
            length = snprintf(tip, sizeof tip, pattern.c_str(), gwip.c_str());
            break;
        case GatewayState::Away:
            length = snprintf(tip, sizeof tip, pattern.c_str(), gwip.c_str(), formatMacText(verdict.answered).c_str());
            break;
        case GatewayState::Conflict:
            length = snprintf(tip, sizeof tip, pattern.c_str(), gwip.c_str(), formatMacText(verdict.answered).c_str(),
                              pinnedText.c_str());
            break;
        case GatewayState::Silent:
            length = snprintf(tip, sizeof tip, pattern.c_str(), gwip.c_str(), pinnedText.c_str());
            break;
        case GatewayState::RouteElsewhere:
            length = snprintf(tip, sizeof tip, pattern.c_str(), ipv4Text(verdict.routedVia).c_str(), gwip.c_str());
            break;
        case GatewayState::Unsettled:
            break;
    }
    if (length < 0 || static_cast<size_t>(length) >= sizeof tip)
        return {};
    return std::string(tip, static_cast<size_t>(length));
}
