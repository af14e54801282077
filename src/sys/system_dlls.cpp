#include "sys/system_dlls.h"

#include <string>

namespace {

// "<system folder>\<file>"; empty when the system folder cannot be read.
std::wstring systemFolderFile(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(folder, length) + L"\\" + fileName;
}

// By its full path, so the program's folder is never searched for it; the altered search order looks for what
// the DLL itself imports in the system folder first too.
HMODULE loadSystemDll(const wchar_t* fileName) {
    const std::wstring path = systemFolderFile(fileName);
    return path.empty() ? nullptr : LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

IpHelperFunctions g_ipHelper;
INIT_ONCE g_ipHelperLoaded = INIT_ONCE_STATIC_INIT;

// Once for the process, whichever thread asks first (the service's guard and its control handler may).
BOOL CALLBACK loadIpHelper(INIT_ONCE*, void*, void**) {
    const HMODULE module = loadSystemDll(L"iphlpapi.dll");
    IpHelperFunctions& functions = g_ipHelper;
    functions.getAdaptersInfo = systemFunction<decltype(&GetAdaptersInfo)>(module, "GetAdaptersInfo");
    functions.getIpNetTable = systemFunction<decltype(&GetIpNetTable)>(module, "GetIpNetTable");
    functions.getBestInterface = systemFunction<decltype(&GetBestInterface)>(module, "GetBestInterface");
    functions.icmpCreateFile = systemFunction<decltype(&IcmpCreateFile)>(module, "IcmpCreateFile");
    functions.icmpSendEcho = systemFunction<decltype(&IcmpSendEcho)>(module, "IcmpSendEcho");
    functions.icmpCloseHandle = systemFunction<decltype(&IcmpCloseHandle)>(module, "IcmpCloseHandle");
    functions.getIfEntry2 = systemFunction<decltype(&GetIfEntry2)>(module, "GetIfEntry2");
    functions.getIfEntry = systemFunction<decltype(&GetIfEntry)>(module, "GetIfEntry");
    return TRUE;
}

using GenRandomFunction = BOOLEAN(WINAPI*)(PVOID, ULONG);
GenRandomFunction g_genRandom;
INIT_ONCE g_genRandomFound = INIT_ONCE_STATIC_INIT;

// Looked up at run time, once the search is kept to the system folder: Windows 7's advapi32 forwards it to
// cryptbase.dll, which is no known DLL and would be looked for beside the program if the image imported it.
BOOL CALLBACK findGenRandom(INIT_ONCE*, void*, void**) {
    g_genRandom = systemFunction<GenRandomFunction>(GetModuleHandleW(L"advapi32.dll"), "SystemFunction036");
    return TRUE;
}

}  // namespace

void restrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefault =
        systemFunction<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

const IpHelperFunctions& ipHelper() {
    InitOnceExecuteOnce(&g_ipHelperLoaded, loadIpHelper, nullptr, nullptr);
    return g_ipHelper;
}

bool systemRandom(void* buffer, unsigned long size) {
    InitOnceExecuteOnce(&g_genRandomFound, findGenRandom, nullptr, nullptr);
    return g_genRandom && g_genRandom(buffer, size);
}
