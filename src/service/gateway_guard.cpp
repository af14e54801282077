#include <windows.h>

#include "config/arp_settings.h"
#include "config/reg_value.h"
#include "net/binding.h"
#include "service/gateway_guard.h"
#include "sys/seams.h"

namespace {

bool worthTelling(const GatewayVerdict& told, const GatewayVerdict& now) {
    if (now.state == GatewayState::Unsettled)
        return false;
    return now.state != told.state || (now.state == GatewayState::Conflict && now.answered != told.answered);
}

}  // namespace

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

    // Another gateway pair starts a fresh watch; the same pair keeps its verdicts, so nothing is told twice.
    if (!watch_ || gwip != gwip_ || gwmac != gwmac_) {
        watch_ = GatewayWatch::forBinding(gwip, gwmac);
        told_ = GatewayVerdict{};
        gwip_ = gwip;
        gwmac_ = gwmac;
        nextWatchMs_ = now + kWatchPeriodMs;
    }
    runBindCommand(gwip_, gwmac_);
    if (watch_)
        watch_->bindCommandRan(now);
    nextBindMs_ = now + bindPeriodMs(static_cast<int32_t>(timer));
    return untilNextDue(now);
}

uint32_t GatewayGuard::runDue() {
    uint32_t now = seams().tickCount();
    if (msUntil(now, nextBindMs_) == 0) {
        reload();
        now = seams().tickCount();
    }
    if (watch_ && msUntil(now, nextWatchMs_) == 0) {
        std::vector<ArpRow> rows;
        seams().readArpTable(rows);
        GatewayVerdict verdict = watch_->check(rows, now);
        if (verdict.rebind)
            runBindCommand(gwip_, gwmac_);
        if (worthTelling(told_, verdict)) {
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
