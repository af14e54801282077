#include "service/gateway_guard.h"

#include "config/settings_store.h"
#include "sys/seams.h"

GatewayGuard::GatewayGuard(GuardOutlet& log) : log_(log) {
    driver_.setOutlets({&log_, &word_, &syslog_});
}

uint32_t GatewayGuard::start() {
    syslog_.use(loadSyslogValue(SettingsRoot::Machine));
    driver_.tellEvent({kEventStarted, {}});
    return reload();
}

uint32_t GatewayGuard::reload() {
    bindWithKey();
    return runDue();
}

void GatewayGuard::stop() {
    driver_.tellEvent({kEventStopped, {}});
    syslog_.stop();
}

// The same settings keep the keeper's verdicts, so nothing is told twice. A collector value that cannot be read is
// told once and sends nothing; the pin goes on as before.
void GatewayGuard::bindWithKey() {
    const ArpSettings stored = loadSettings(SettingsRoot::Machine);
    driver_.configure(checkBindingSettings(stored.timer, stored.gwip, stored.gwmac), 0);
    const bool syslogReadable = syslog_.use(loadSyslogValue(SettingsRoot::Machine));
    if (!syslogReadable && !syslogRefusalTold_)
        driver_.tellEvent({kEventSettingsInvalid, {"syslog", kInvalidSettingsRetryText}});
    syslogRefusalTold_ = !syslogReadable;
    driver_.bindDue();
}

uint32_t GatewayGuard::runDue() {
    for (;;) {
        const KeeperDue due = driver_.keeper().due(seams().tickCount());
        switch (due.task) {
            case KeeperTask::None:
                return due.waitMs;
            case KeeperTask::Bind:
                bindWithKey();
                break;
            case KeeperTask::Watch:
                driver_.watchWithEcho();
                break;
        }
    }
}

void GatewayGuard::LogOutlet::tell(const GatewayNews& news, bool) {
    if (std::optional<GuardEvent> event = verdictEvent(news))
        log_.tell(*event);
}

// The users' copies beside the service tell "away" with it instead of an attack, and "silent" with it.
void GatewayGuard::WordOutlet::tell(const GatewayNews& news, bool) {
    storeServiceAway(news.state == GatewayState::Away && news.answered ? formatMacText(*news.answered) : "");
    storeServiceSilent(news.state == GatewayState::Silent);
}
