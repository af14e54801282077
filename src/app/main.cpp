#include <windows.h>

#include "app/arp_app.h"
#include "service/service_main.h"
#include "sys/system_dlls.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL by its name: a file of that name beside the program is never taken.
    restrictDllSearchToSystemFolder();
    if (startedAsService())
        return runAsService();
    CArpApp app;
    app.InitInstance();
    return 0;
}
