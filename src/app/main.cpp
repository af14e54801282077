#include <windows.h>

#include "app/arp_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CArpApp app;
    app.InitInstance();
    return 0;
}
