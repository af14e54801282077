#include "app/run_mode.h"

#include "config/client_config.h"

namespace {
RunMode g_runMode = RunMode::Admin;
}

RunMode runModeFromToken(const std::string& token) {
    if (token == kTokenClientAsk)
        return RunMode::ClientAsk;
    if (token == kTokenClientBind)
        return RunMode::ClientBind;
    return RunMode::Admin;
}

RunMode currentRunMode() {
    return g_runMode;
}

void setRunMode(RunMode mode) {
    g_runMode = mode;
}
