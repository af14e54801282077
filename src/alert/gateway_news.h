#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "alert/syslog_message.h"
#include "net/gateway_watch.h"
#include "service/service_names.h"

// The program's version as the origin element of its syslog messages names it (the version resource's).
constexpr const char* kSoftwareVersion = "0.4";

// One verdict of the keeper as every outlet gets it: the tray, the event log and syslog.
struct GatewayNews {
    GatewayState state = GatewayState::Unsettled;
    std::string gateway;  // dotted IPv4 text
    MacBytes pinned{};
    std::optional<MacBytes> answered;  // the other MAC of a conflict, the router that answers while away
    std::vector<uint32_t> suspects;    // network byte order
    uint32_t routedVia = 0;            // the default route's address while it goes elsewhere
    uint32_t interfaceIndex = 0;
    uint64_t utcMs = 0;     // when it was judged, milliseconds since 1970 UTC
    bool byService = false;  // a user's copy that leaves the binding to the service
};

GatewayNews makeNews(const GatewayVerdict& verdict,
                     const std::string& gateway,
                     const MacBytes& pinned,
                     uint32_t interfaceIndex,
                     uint64_t utcMs);

// How each state is told, in one place: the tip's text, the event, the syslog severity and MSGID, and whether the
// icon turns red with a warning balloon.
struct NewsKind {
    unsigned tipId;  // the tip's pattern in the string tables
    ServiceEvent event;
    SyslogSeverity severity;
    const char* msgId;
    bool alarm;
};
// None while unsettled.
const NewsKind* newsKind(GatewayState state);

// The message's key=value pairs: state, gateway, pinned, answered, suspects ("none" when there are none), route,
// interface and the host's address; the ones a state has no value for are left out.
std::vector<std::pair<std::string, std::string>> newsFields(const GatewayNews& news, const std::string& hostAddress);
