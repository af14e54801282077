#include <windows.h>

#include <sstream>
#include <utility>

#include "steps/collector.h"
#include "steps/netns.h"

namespace collector {

std::vector<Message> messages() {
    char step[512];
    DWORD length = GetEnvironmentVariableA("XIRARP_NETNS_STEP", step, sizeof step);
    if (length == 0 || length >= sizeof step)
        return {};
    std::istringstream lines(netns::runLinux("/bin/bash", "'" + std::string(step, length) + "' collector-lines"));
    std::string line;
    if (!std::getline(lines, line) || line != "ok")
        return {};
    std::vector<Message> received;
    while (std::getline(lines, line)) {
        Message message;
        std::string* fields[] = {&message.version, &message.hostname, &message.appName,  &message.procId,
                                 &message.msgId,   &message.severity, &message.facility, &message.structuredData,
                                 &message.msg,     &message.input};
        std::istringstream columns(line);
        for (std::string* field : fields)
            std::getline(columns, *field, '\t');
        received.push_back(std::move(message));
    }
    return received;
}

bool start() {
    return netns::act("collector-start");
}

bool stop() {
    return netns::act("collector-stop");
}

}  // namespace collector
