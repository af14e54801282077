#include <windows.h>

#include "app/arp_app.h"
#include "app/silent_setup.h"
#include "service/service_main.h"
#include "sys/system_dlls.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL by its name: a file of that name beside the program is never taken.
    restrictDllSearchToSystemFolder();
    if (startedAsService())
        return runAsService();
    if (const std::optional<int> exitCode = runSilentSetup())
        return *exitCode;
    CArpApp app;
    app.InitInstance();
    return 0;
}
