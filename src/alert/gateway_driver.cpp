#include <windows.h>

#include "alert/gateway_driver.h"
#include "net/gateway_keeper_win.h"
#include "sys/seams.h"

namespace {

uint64_t utcNowMs() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr uint64_t kUnixEpoch = 116444736000000000ull;  // 1970-01-01 in 100 ns steps from 1601
    return ticks > kUnixEpoch ? (ticks - kUnixEpoch) / 10000 : 0;
}

}  // namespace

void GatewayDriver::configure(const BindingCheck& check, uint32_t firstBindInMs) {
    keeper_.configure(check, seams().tickCount(), firstBindInMs);
    keeper_.setRoaming(loadRoaming(root_));
    if (keeper_.settings() && loadEchoAnswered(root_, keeper_.settings()->mac))
        keeper_.knowsEchoAnswered();
}

KeeperStep GatewayDriver::bindDue() {
    const KeeperStep step = runBindDue(keeper_);
    tell(step);
    return step;
}

KeeperStep GatewayDriver::watchDue(std::optional<bool> echoAnswered, const ServiceWord& service) {
    const KeeperStep step = runWatchDue(keeper_, echoAnswered, service);
    tell(step);
    const uint32_t now = seams().tickCount();
    for (NewsOutlet* outlet : outlets_)
        outlet->tick(now);
    return step;
}

KeeperStep GatewayDriver::watchWithEcho() {
    std::optional<bool> answered;
    if (keeper_.echoWanted() && keeper_.settings())
        answered = seams().echo(keeper_.settings()->address, kEchoTimeoutMs);
    return watchDue(answered);
}

void GatewayDriver::tellEvent(const GuardEvent& event) {
    for (NewsOutlet* outlet : outlets_)
        outlet->tellEvent(event);
}

GatewayNews GatewayDriver::toldNews() const {
    if (!keeper_.settings())
        return {};
    const BindingSettings& settings = *keeper_.settings();
    GatewayNews news =
        makeNews(keeper_.told(), settings.gwip, settings.mac, keeper_.interfaceIndex(), utcNowMs());
    news.byService = keeper_.toldForService();
    return news;
}

void GatewayDriver::tell(const KeeperStep& step) {
    if (step.invalidIsNews)
        tellEvent({kEventSettingsInvalid, {step.invalid, kInvalidSettingsRetryText}});
    if (step.learntEcho && keeper_.settings())
        storeEchoAnswered(root_, keeper_.settings()->mac);
    if (!step.news || !keeper_.settings())
        return;
    const GatewayNews news = toldNews();
    for (NewsOutlet* outlet : outlets_)
        outlet->tell(news, step.turned);
}
