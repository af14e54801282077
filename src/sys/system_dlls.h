#pragma once
#include <winsock2.h>
#include <windows.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <icmpapi.h>

// Which DLLs the program takes from where. Windows' known DLLs come from the system folder whatever the search
// order, and Common Controls 6 from the side-by-side store the manifest names; any other DLL would be looked for
// in the program's own folder first, which whoever runs a copy from the Desktop or Downloads can write.

// A function the running system may or may not have; null when it has not.
template <typename Function>
Function systemFunction(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

// Lets every later load of a DLL by its name search the system folder only (SetDefaultDllDirectories, from
// Windows 8, and on Windows 7 with update KB2533623; elsewhere nothing changes). The first thing the program does.
void restrictDllSearchToSystemFolder();

// The IP Helper functions the program calls, from the system folder's iphlpapi.dll, loaded by its full path at
// first use and kept for the life of the process. A function that could not be resolved is null: the caller then
// fails the way it fails when the system's call does.
struct IpHelperFunctions {
    decltype(&GetAdaptersInfo) getAdaptersInfo = nullptr;
    decltype(&GetIpNetTable) getIpNetTable = nullptr;
    decltype(&GetBestInterface) getBestInterface = nullptr;
    decltype(&IcmpCreateFile) icmpCreateFile = nullptr;
    decltype(&IcmpSendEcho) icmpSendEcho = nullptr;
    decltype(&IcmpCloseHandle) icmpCloseHandle = nullptr;
    decltype(&GetIfEntry2) getIfEntry2 = nullptr;
    decltype(&GetIfEntry) getIfEntry = nullptr;
};
const IpHelperFunctions& ipHelper();

// Fills the buffer from the system's random generator (advapi32's RtlGenRandom); false when it could not.
bool systemRandom(void* buffer, unsigned long size);
