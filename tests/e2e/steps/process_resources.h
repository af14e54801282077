#pragma once
#include <windows.h>

#include <string>

// Resources another process of this Wine session holds, read from outside. Under Wine the usual calls
// (GetGuiResources, PROCESS_MEMORY_COUNTERS_EX::PrivateUsage) read 0, so each figure comes from where Wine
// really keeps it; see process_resources.cpp.
struct ProcessResources {
    long gdiObjects = -1;        // -1: could not be read
    long userObjects = -1;       // -1: could not be read
    long long privateBytes = -1; // -1: could not be read
};
ProcessResources readProcessResources(DWORD windowsProcessId);
// A reading taken while the window paints can include a DC the paint frees again: reads until two
// readings a moment apart agree.
ProcessResources settledProcessResources(DWORD windowsProcessId);

// The Linux process that runs the Windows process, or -1 when it cannot be told apart from others.
long linuxProcessId(DWORD windowsProcessId);
// Contents of /proc/<linuxPid>/<name>, read through drive Z: (empty when unreadable).
std::string readLinuxProcFile(long linuxPid, const char* name);
// utime + stime of the Linux process in clock ticks (/proc/<pid>/stat), or -1.
long long linuxCpuTicks(long linuxPid);
