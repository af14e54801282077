#pragma once
#include <string>
#include <vector>

// The syslog collector of the test network (scripts/netns.sh collector-*): rsyslogd at 192.0.2.5, UDP and TCP
// port 514, parsing RFC 5424.
namespace collector {

constexpr const char* kAddress = "192.0.2.5";
constexpr int kPort = 514;

// One received message as rsyslog parsed it. Nil fields read "-" (the message's own text excepted, which is then
// empty); severity and facility are numbers ("5", "16"); msg keeps a leading BOM as its three bytes and holds
// control characters escaped as "#ooo" (a tab "#011", a line feed "#012"), a trailing line feed dropped; input
// is "imudp" or "imtcp". A message rsyslog could not parse reads version "0", the sender's address for hostname.
struct Message {
    std::string version, hostname, appName, procId, msgId, severity, facility, structuredData, msg, input;
};

// Every message received since the network was made, across stops, oldest first (UDP and TCP ones in the order
// rsyslog took them in); empty when there is none or the lines could not be read.
std::vector<Message> messages();

// Starts it, or leaves it running; true once both ports listen.
bool start();
// Ends it: TCP connections are refused until start, UDP datagrams are lost. True once it ended.
bool stop();

}  // namespace collector
