#include <windows.h>

#include "app/arp_app.h"
#include "app/silent_setup.h"
#include "service/service_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (startedAsService())
        return runAsService();
    if (const std::optional<int> exitCode = runSilentSetup())
        return *exitCode;
    CArpApp app;
    app.InitInstance();
    return 0;
}
