// Benchmark stand-in for arp.exe: appends "<QueryPerformanceCounter at entry> <command line>" and a zero
// byte to stamps.log beside it. Wine's performance counter is the system's monotonic clock, the same
// in every process, so the driver can compare these stamps with its own.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    while (length > 0 && path[length - 1] != '\\')
        --length;
    const char logName[] = "stamps.log";
    if (length + sizeof logName > MAX_PATH)
        return 1;
    lstrcpyA(path + length, logName);

    char record[1200];
    int size = snprintf(record, sizeof record, "%lld %s", static_cast<long long>(now.QuadPart), GetCommandLineA());
    if (size < 0 || size >= static_cast<int>(sizeof record))
        return 1;
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(log, record, static_cast<DWORD>(size) + 1, &written, nullptr);
    CloseHandle(log);
    return 0;
}
