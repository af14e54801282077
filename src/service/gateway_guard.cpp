#include <windows.h>

#include "config/settings_store.h"
#include "net/gateway_keeper_win.h"
#include "service/gateway_guard.h"
#include "sys/seams.h"

namespace {

// The retry's delay as the settings warning states it.
constexpr const char* kInvalidSettingsRetryText = "60";
static_assert(kInvalidSettingsRetryMs == 60000);

}  // namespace

uint32_t GatewayGuard::reload() {
    bindWithKey();
    return runDue();
}

// The same settings keep the keeper's verdicts, so nothing is told twice.
void GatewayGuard::bindWithKey() {
    const ArpSettings stored = loadSettings(SettingsRoot::Machine);
    keeper_.configure(checkBindingSettings(stored.timer, stored.gwip, stored.gwmac), seams().tickCount(), 0);
    keeper_.setRoaming(loadRoaming(SettingsRoot::Machine));
    if (keeper_.settings() && loadEchoAnswered(SettingsRoot::Machine, keeper_.settings()->mac))
        keeper_.knowsEchoAnswered();
    tell(runBindDue(keeper_));
}

uint32_t GatewayGuard::runDue() {
    for (;;) {
        const KeeperDue due = keeper_.due(seams().tickCount());
        switch (due.task) {
            case KeeperTask::None:
                return due.waitMs;
            case KeeperTask::Bind:
                bindWithKey();
                break;
            case KeeperTask::Watch:
                tell(runWatchWithEcho(keeper_));
                break;
        }
    }
}

void GatewayGuard::tell(const KeeperStep& step) {
    if (step.invalidIsNews)
        outlet_.tell({kEventSettingsInvalid, {step.invalid, kInvalidSettingsRetryText}});
    if (step.learntEcho && keeper_.settings())
        storeEchoAnswered(SettingsRoot::Machine, keeper_.settings()->mac);
    if (step.news && keeper_.settings()) {
        // The users' copies beside the service tell "away" with it instead of an attack, and "silent" with it.
        storeServiceAway(step.news->state == GatewayState::Away ? formatMacText(step.news->answered) : "");
        storeServiceSilent(step.news->state == GatewayState::Silent);
        if (std::optional<GuardEvent> event =
                verdictEvent(*step.news, keeper_.settings()->gwip, keeper_.settings()->mac))
            outlet_.tell(*event);
    }
}
