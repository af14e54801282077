#include <windows.h>

#include "app/arp_app.h"
#include "service/service_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (startedAsService())
        return runAsService();
    CArpApp app;
    app.InitInstance();
    return 0;
}
