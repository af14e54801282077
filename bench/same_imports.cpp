// Linked only into the second reference program: one function of every system library XirARP imports or, as
// iphlpapi, loads as its window opens, so that program loads the same libraries as XirARP and does nothing else.
// Start-up and memory against it show what XirARP's own code costs; against the bare empty dialog, what the
// libraries cost as well.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <iphlpapi.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>

extern "C" void* const kSameImports[] = {
    reinterpret_cast<void*>(&RegOpenKeyExA),      reinterpret_cast<void*>(&InitCommonControlsEx),
    reinterpret_cast<void*>(&CreateCompatibleDC), reinterpret_cast<void*>(&GetAdaptersInfo),
    reinterpret_cast<void*>(&CoInitialize),       reinterpret_cast<void*>(&Shell_NotifyIconA),
    reinterpret_cast<void*>(&SHDeleteKeyA),
};
