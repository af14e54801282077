#pragma once
#include <memory>
#include <optional>
#include <string>

#include "alert/news_outlet.h"
#include "alert/syslog_sender_win.h"

// The news as RFC 5424 messages to the collector the "syslog" value names: one for each change of state and for
// each of the program's own events, and a status message at start and every hour, so that a collector sees which
// machines stopped talking. Sending runs on the sender's thread: telling never waits on the network.
class SyslogOutlet : public NewsOutlet {
  public:
    // Sends to the collector the value names from now on: started, restarted when the value changed, stopped when it
    // is empty. A value that cannot be read sends nothing; the answer is false then.
    bool use(const std::string& value);
    // Sends what waits (for a short grace) and stops; the next use starts again.
    void stop();

    void tell(const GatewayNews& news, bool turned) override;
    void tellEvent(const GuardEvent& event) override;
    void tick(uint32_t nowMs) override;

  private:
    void send(SyslogSeverity severity, const char* msgId, const GatewayNews* news, const char* detail);

    std::string value_;
    std::unique_ptr<SyslogSender> sender_;
    std::optional<GatewayNews> last_;
    std::optional<uint32_t> statusAtMs_;  // none: the status of the start is still to send
};
