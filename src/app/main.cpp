#include <windows.h>

#include <cstdlib>

#include "app/arp_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CArpApp app;
    app.InitInstance();
    return 0;
}

// The library's default handler prints the demangled type of an uncaught exception to a console this
// program does not have, and pulls the whole demangler into the image. Defined here, in the program's
// own object, so that it replaces the library's.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
