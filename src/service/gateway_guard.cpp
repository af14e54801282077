#include <windows.h>

#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "net/binding.h"
#include "net/binding_commands.h"
#include "net/gateway_poll.h"
#include "service/gateway_guard.h"
#include "sys/seams.h"

uint32_t GatewayGuard::reload() {
    const uint32_t now = seams().tickCount();
    const uint32_t timer = CRegDwordValue(kMachineTimerValuePath, 0, HKEY_LOCAL_MACHINE);
    const std::string gwip = CRegStringValue(kMachineGwipValuePath, "", HKEY_LOCAL_MACHINE);
    const std::string gwmac = CRegStringValue(kMachineGwmacValuePath, "", HKEY_LOCAL_MACHINE);

    if (const char* invalid = invalidGuardSetting(timer, gwip, gwmac)) {
        // Told once for each value that goes wrong, not at every retry.
        if (invalid != toldInvalid_)
            outlet_.tell({kEventSettingsInvalid, {invalid, "60"}});
        toldInvalid_ = invalid;
        watch_.reset();
        told_ = GatewayVerdict{};
        gwip_.clear();
        gwmac_.clear();
        nextBindMs_ = now + kInvalidSettingsRetryMs;
        return untilNextDue(now);
    }
    toldInvalid_ = nullptr;

    // Other settings start a fresh watch; the same ones keep its verdicts, so nothing is told twice.
    const uint32_t period = bindPeriodMs(intervalInForce(static_cast<int32_t>(timer)));
    if (!watch_ || gwip != gwip_ || gwmac != gwmac_ || period != periodMs_) {
        watch_ = GatewayWatch::forBinding(gwip, gwmac, period);
        told_ = GatewayVerdict{};
        gwip_ = gwip;
        gwmac_ = gwmac;
        periodMs_ = period;
        nextWatchMs_ = now + kWatchPeriodMs;
    }
    if (runBindCommand(gwip_, gwmac_) && watch_)
        watch_->bindCommandRan(now);
    nextBindMs_ = now + period;
    return untilNextDue(now);
}

uint32_t GatewayGuard::runDue() {
    uint32_t now = seams().tickCount();
    if (msUntil(now, nextBindMs_) == 0) {
        reload();
        now = seams().tickCount();
    }
    if (watch_ && msUntil(now, nextWatchMs_) == 0) {
        const GatewayVerdict verdict = pollGateway(*watch_, gwip_, gwmac_);
        if (verdictWorthTelling(told_, verdict)) {
            told_ = verdict;
            if (std::optional<GuardEvent> event = verdictEvent(verdict, gwip_, watch_->pinned()))
                outlet_.tell(*event);
        }
        nextWatchMs_ = now + kWatchPeriodMs;
    }
    return untilNextDue(now);
}

uint32_t GatewayGuard::untilNextDue(uint32_t nowMs) const {
    const uint32_t untilBind = msUntil(nowMs, nextBindMs_);
    if (!watch_)
        return untilBind;
    const uint32_t untilWatch = msUntil(nowMs, nextWatchMs_);
    return untilWatch < untilBind ? untilWatch : untilBind;
}
