#include "net/binding.h"

#include "res/resource.h"
#include "sys/seams.h"
#include "sys/ui_text.h"

namespace {
// runCommand gives WinExec's codes, above 31 for a started program.
constexpr unsigned kFirstStartedCode = 32;
}  // namespace

uint32_t BindGateway(HWND window,
                     int32_t interval,
                     const std::string& gwip,
                     const std::string& gwmac,
                     bool* commandStarted) {
    uint32_t period = bindPeriodMs(interval);
    if (commandStarted)
        *commandStarted = false;
    if (period == 0)
        return 0;
    const bool started = runBindCommand(gwip, gwmac);
    if (commandStarted)
        *commandStarted = started;
    SetTimer(window, kBindTimerId, period, nullptr);
    return period;
}

bool runBindCommand(const std::string& gwip, const std::string& gwmac) {
    auto command = formatBindCommand(gwip, gwmac);
    return command &&
           seams().runCommand(command->c_str(), SW_HIDE, ProgramLookup::SystemFolderOnly) >= kFirstStartedCode;
}

void runRemoveCommand(const std::string& gwip) {
    if (gwip.empty())
        return;
    if (auto command = formatRemoveCommand(gwip))
        seams().runCommand(command->c_str(), SW_HIDE, ProgramLookup::SystemFolderOnly);
}

void startBindTimer(HWND window) {
    SetTimer(window, kBindTimerId, kFirstBindPeriodMs, nullptr);
}

void stopBindTimer(HWND window) {
    KillTimer(window, kBindTimerId);
}

bool BindingTimer::OnTimer(HWND window,
                           UINT_PTR id,
                           int32_t timer,
                           const std::string& gwip,
                           const std::string& gwmac,
                           int32_t language) {
    if (id != kBindTimerId)
        return false;
    if (bindingConfigured(timer, gwip, gwmac)) {
        bool started = false;
        BindGateway(window, timer, gwip, gwmac, &started);
        return started;
    }
    // The timer keeps running while the warning is open and its expiries arrive inside the box's loop.
    if (warningOpen_)
        return false;
    warningOpen_ = true;
    seams().messageBox(window, uiText(IDS_BIND_CONFIG_MISSING, language).c_str(), kWarningCaption,
                       MB_OK | MB_ICONEXCLAMATION);
    warningOpen_ = false;
    return false;
}
