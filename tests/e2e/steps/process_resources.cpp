// How the figures are found under Wine:
// - GDI objects: win32u keeps each process's GDI handle table in that process's own memory and points
//   PEB->GdiSharedHandleTable at it. We read the PEB address with NtQueryInformationProcess, then the table
//   with ReadProcessMemory, and count the entries whose type is set (a freed entry has type 0). A 32-bit
//   process on a 64-bit system has a 64-bit PEB beside its own, and win32u sets the pointer only there:
//   we reach it through a thread's 32-bit TEB, whose GdiBatchCount holds the address of its 64-bit TEB.
// - USER objects: the process's windows (top-level, their descendants and message-only windows).
// - Private bytes: Private_Clean + Private_Dirty of /proc/<pid>/smaps_rollup of the Linux process running
//   the program, seen through drive Z:. That process is told apart from others by its name, Wine prefix,
//   image path and start time.
#include "steps/process_resources.h"

#include <winternl.h>
#include <tlhelp32.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The handle table's entry as win32u lays it out (the same in 32- and 64-bit processes).
#pragma pack(push, 1)
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "win32u's handle entry is 24 bytes");
constexpr size_t kGdiHandleCount = 0x10000;
// PEB->GdiSharedHandleTable for a process of our own bitness (both sides of every reading here are).
constexpr size_t kGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

// The 32-bit TEB's GdiBatchCount, the 64-bit TEB's PEB and the 64-bit PEB's GdiSharedHandleTable.
constexpr uintptr_t kTeb32GdiBatchCount = 0xF70;
constexpr uintptr_t kTeb64Peb = 0x60;
constexpr uintptr_t kPeb64GdiTable = 0xF8;

using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
using QueryInformationThread = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

FARPROC ntdllFunction(const char* name) {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), name);
}

template <typename Value>
bool readRemote(HANDLE process, uint64_t address, Value& value) {
    SIZE_T read = 0;
    value = {};
    return address != 0 && address == static_cast<uintptr_t>(address) &&
           ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<uintptr_t>(address)), &value,
                             sizeof value, &read) &&
           read == sizeof value;
}

// The TEB of one thread of the process, or 0.
uintptr_t anyThreadTeb(DWORD processId) {
    struct ThreadBasicInformation {
        NTSTATUS exitStatus;
        void* teb;
        void* clientId[2];
        ULONG_PTR affinity;
        LONG priority;
        LONG basePriority;
    };
    static const auto query = reinterpret_cast<QueryInformationThread>(
        reinterpret_cast<void*>(ntdllFunction("NtQueryInformationThread")));
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (!query || snapshot == INVALID_HANDLE_VALUE)
        return 0;
    uintptr_t teb = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && !teb; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        if (HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID)) {
            ThreadBasicInformation basic = {};
            if (query(thread, 0 /* ThreadBasicInformation */, &basic, sizeof basic, nullptr) == 0)
                teb = reinterpret_cast<uintptr_t>(basic.teb);
            CloseHandle(thread);
        }
    }
    CloseHandle(snapshot);
    return teb;
}

// Where the handle table of a 32-bit process on a 64-bit system is announced, or 0.
uint64_t tableThroughTheTeb64(HANDLE process) {
    uintptr_t teb32 = anyThreadTeb(GetProcessId(process));
    uint32_t teb64 = 0;
    uint64_t peb64 = 0, table = 0;
    if (!teb32 || !readRemote(process, teb32 + kTeb32GdiBatchCount, teb64) ||
        !readRemote(process, uint64_t{teb64} + kTeb64Peb, peb64) ||
        !readRemote(process, peb64 + kPeb64GdiTable, table))
        return 0;
    return table;
}

long countGdiObjects(HANDLE process) {
    static const auto query = reinterpret_cast<QueryInformationProcess>(
        reinterpret_cast<void*>(ntdllFunction("NtQueryInformationProcess")));
    if (!query)
        return -1;
    PROCESS_BASIC_INFORMATION basic = {};
    if (query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 || !basic.PebBaseAddress)
        return -1;
    void* ownTable = nullptr;
    readRemote(process, reinterpret_cast<uintptr_t>(basic.PebBaseAddress) + kGdiTableOffset, ownTable);
    uint64_t tableAddress = reinterpret_cast<uintptr_t>(ownTable);
    if (!tableAddress && sizeof(void*) == 4)
        tableAddress = tableThroughTheTeb64(process);
    if (!tableAddress || tableAddress != static_cast<uintptr_t>(tableAddress))
        return -1;
    const void* table = reinterpret_cast<const void*>(static_cast<uintptr_t>(tableAddress));
    SIZE_T read = 0;
    std::vector<GdiHandleEntry> entries(kGdiHandleCount);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry), &read) ||
        read != entries.size() * sizeof(GdiHandleEntry))
        return -1;
    long used = 0;
    for (const GdiHandleEntry& entry : entries)
        used += entry.type != 0;
    return used;
}

struct WindowCount {
    DWORD processId;
    long count = 0;
};

BOOL CALLBACK countChild(HWND, LPARAM context) {
    ++reinterpret_cast<WindowCount*>(context)->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM context) {
    auto* counted = reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == counted->processId) {
        ++counted->count;
        EnumChildWindows(window, countChild, context);
    }
    return TRUE;
}

long countUserObjects(DWORD processId) {
    WindowCount counted{processId};
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&counted));
    for (HWND window = nullptr; (window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) {
            ++counted.count;
            EnumChildWindows(window, countChild, reinterpret_cast<LPARAM>(&counted));
        }
    }
    return counted.count;
}

std::string readWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[8192];
    DWORD received = 0;
    // /proc files report size 0: read until the end, bounded so a runaway file cannot exhaust memory.
    while (bytes.size() < (1u << 20) && ReadFile(file, buffer, sizeof buffer, &received, nullptr) && received > 0)
        bytes.append(buffer, received);
    CloseHandle(file);
    return bytes;
}

std::string procPath(const std::string& pid, const char* name) {
    return "Z:\\proc\\" + pid + "\\" + name;
}

// The "WINEPREFIX=..." entry of a zero-separated environment block (empty when there is none).
std::string prefixEntry(const std::string& environment) {
    for (size_t start = 0; start < environment.size();) {
        size_t end = environment.find('\0', start);
        if (end == std::string::npos)
            end = environment.size();
        if (environment.compare(start, 11, "WINEPREFIX=") == 0)
            return environment.substr(start, end - start);
        start = end + 1;
    }
    return {};
}

std::string lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Field 22 (starttime, clock ticks after boot) of /proc/<pid>/stat; the name in field 2 may hold spaces.
long long startTicks(const std::string& stat) {
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    const char* cursor = stat.c_str() + close + 1;
    for (int field = 3; field < 22; ++field) {
        cursor = std::strchr(cursor + 1, ' ');
        if (!cursor)
            return -1;
    }
    return std::atoll(cursor + 1);
}

// Seconds since 1970 of the machine's boot, from /proc/stat.
long long bootTime() {
    std::string stat = readWholeFile("Z:\\proc\\stat");
    size_t at = stat.find("\nbtime ");
    return at == std::string::npos ? -1 : std::atoll(stat.c_str() + at + 7);
}

}  // namespace

std::string readLinuxProcFile(long linuxPid, const char* name) {
    return linuxPid > 0 ? readWholeFile(procPath(std::to_string(linuxPid), name)) : std::string();
}

long linuxProcessId(DWORD windowsProcessId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, windowsProcessId);
    if (!process)
        return -1;
    char image[MAX_PATH] = {};
    DWORD imageLength = MAX_PATH;
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    bool known = QueryFullProcessImageNameA(process, 0, image, &imageLength) &&
                 GetProcessTimes(process, &created, &exited, &kernel, &user);
    CloseHandle(process);
    if (!known)
        return -1;
    const char* slash = std::strrchr(image, '\\');
    // Linux keeps the first 15 bytes of a process's name.
    std::string comm = std::string(slash ? slash + 1 : image).substr(0, 15);
    const std::string ourPrefix = prefixEntry(readWholeFile("Z:\\proc\\self\\environ"));

    std::vector<long> candidates;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    do {
        const std::string pid = found.cFileName;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string name = readWholeFile(procPath(pid, "comm"));
        while (!name.empty() && (name.back() == '\n' || name.back() == '\0'))
            name.pop_back();
        if (name != comm || prefixEntry(readWholeFile(procPath(pid, "environ"))) != ourPrefix)
            continue;
        // Wine puts the Windows path of the image in the first argument.
        std::string cmdline = readWholeFile(procPath(pid, "cmdline"));
        std::string first = cmdline.substr(0, cmdline.find('\0'));
        if (!first.empty() && first.find('\\') != std::string::npos && lowered(first) != lowered(image))
            continue;
        candidates.push_back(std::atol(pid.c_str()));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (candidates.size() == 1)
        return candidates.front();
    if (candidates.empty())
        return -1;

    // Several copies of the same image in this prefix: the one that started with the Windows process.
    const long long boot = bootTime();
    if (boot < 0)
        return -1;
    ULARGE_INTEGER createdAt;
    createdAt.LowPart = created.dwLowDateTime;
    createdAt.HighPart = created.dwHighDateTime;
    const double createdSeconds = static_cast<double>(createdAt.QuadPart) / 1e7 - 11644473600.0;
    long best = -1;
    double bestGap = 2.0;  // seconds; further apart is not the same start
    int close = 0;
    for (long pid : candidates) {
        long long ticks = startTicks(readLinuxProcFile(pid, "stat"));
        if (ticks < 0)
            continue;
        double gap = createdSeconds - (static_cast<double>(boot) + static_cast<double>(ticks) / 100.0);
        if (gap < 0)
            gap = -gap;
        if (gap < 2.0)
            ++close;
        if (gap < bestGap) {
            bestGap = gap;
            best = pid;
        }
    }
    return close == 1 ? best : -1;
}

long long linuxCpuTicks(long linuxPid) {
    std::string stat = readLinuxProcFile(linuxPid, "stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    const char* cursor = stat.c_str() + close + 1;
    long long values[2] = {-1, -1};  // fields 14 and 15
    for (int field = 3; field <= 15; ++field) {
        cursor = std::strchr(cursor + 1, ' ');
        if (!cursor)
            return -1;
        if (field >= 14)
            values[field - 14] = std::atoll(cursor + 1);
    }
    return values[0] + values[1];
}

ProcessResources readProcessResources(DWORD windowsProcessId) {
    ProcessResources resources;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, windowsProcessId);
    if (!process)
        return resources;  // gone, or not ours to look into
    resources.gdiObjects = countGdiObjects(process);
    CloseHandle(process);
    resources.userObjects = countUserObjects(windowsProcessId);
    long pid = linuxProcessId(windowsProcessId);
    std::string rollup = readLinuxProcFile(pid, "smaps_rollup");
    long long kilobytes = 0;
    int found = 0;
    for (const char* field : {"\nPrivate_Clean:", "\nPrivate_Dirty:"}) {
        size_t at = rollup.find(field);
        if (at != std::string::npos) {
            kilobytes += std::atoll(rollup.c_str() + at + std::strlen(field));
            ++found;
        }
    }
    if (found == 2)
        resources.privateBytes = kilobytes * 1024;
    return resources;
}

ProcessResources settledProcessResources(DWORD windowsProcessId) {
    ProcessResources previous = readProcessResources(windowsProcessId);
    for (int attempt = 0; attempt < 20; ++attempt) {
        Sleep(250);
        ProcessResources now = readProcessResources(windowsProcessId);
        if (now.gdiObjects == previous.gdiObjects && now.userObjects == previous.userObjects)
            return now;
        previous = now;
    }
    return previous;
}
