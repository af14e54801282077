#include "alert/gateway_news.h"

#include "net/suspects_text.h"
#include "res/resource.h"

namespace {

struct StateKind {
    GatewayState state;
    NewsKind kind;
};

// Conflict is the attack itself; the states where the pin protects nothing or may not be what it seems are warnings;
// pinned is worth a notice, so that a collector sees protection begin.
constexpr StateKind kKinds[] = {
    {GatewayState::Protected, {IDS_GATEWAY_PROTECTED_TIP, kEventProtected, SyslogSeverity::Notice, "PINNED", false}},
    {GatewayState::NotInEffect,
     {IDS_GATEWAY_NOT_IN_EFFECT_TIP, kEventNotInEffect, SyslogSeverity::Warning, "NOT_IN_EFFECT", true}},
    {GatewayState::Conflict, {IDS_GATEWAY_CONFLICT_TIP, kEventConflict, SyslogSeverity::Alert, "CONFLICT", true}},
    {GatewayState::Away, {IDS_GATEWAY_AWAY_TIP, kEventAway, SyslogSeverity::Warning, "AWAY", false}},
    {GatewayState::Silent, {IDS_GATEWAY_SILENT_TIP, kEventSilent, SyslogSeverity::Warning, "SILENT", true}},
    {GatewayState::RouteElsewhere,
     {IDS_GATEWAY_ROUTE_ELSEWHERE_TIP, kEventRouteElsewhere, SyslogSeverity::Warning, "ROUTE_ELSEWHERE", true}},
};

}  // namespace

GatewayNews makeNews(const GatewayVerdict& verdict,
                     const std::string& gateway,
                     const MacBytes& pinned,
                     uint32_t interfaceIndex,
                     uint64_t utcMs) {
    GatewayNews news;
    news.state = verdict.state;
    news.gateway = gateway;
    news.pinned = pinned;
    if (verdict.state == GatewayState::Conflict || verdict.state == GatewayState::Away)
        news.answered = verdict.answered;
    news.suspects = verdict.suspects;
    news.routedVia = verdict.routedVia;
    news.interfaceIndex = interfaceIndex;
    news.utcMs = utcMs;
    return news;
}

const NewsKind* newsKind(GatewayState state) {
    for (const StateKind& entry : kKinds)
        if (entry.state == state)
            return &entry.kind;
    return nullptr;
}

std::vector<std::pair<std::string, std::string>> newsFields(const GatewayNews& news, const std::string& hostAddress) {
    const NewsKind* kind = newsKind(news.state);
    std::vector<std::pair<std::string, std::string>> fields = {
        {"state", kind ? kind->msgId : "UNSETTLED"},
        {"gateway", news.gateway},
        {"pinned", formatMacText(news.pinned)},
    };
    if (news.answered)
        fields.emplace_back("answered", formatMacText(*news.answered));
    if (news.state == GatewayState::Conflict)
        fields.emplace_back("suspects", suspectsText(news.suspects, "none"));
    if (news.state == GatewayState::RouteElsewhere)
        fields.emplace_back("route", ipv4Text(news.routedVia));
    fields.emplace_back("interface", std::to_string(news.interfaceIndex));
    if (!hostAddress.empty())
        fields.emplace_back("host", hostAddress);
    return fields;
}
