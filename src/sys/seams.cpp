#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include "net/address_text.h"
#include "sys/elevation.h"
#include "sys/seams.h"
#include "sys/system_command.h"
#include "sys/system_dlls.h"
#include "sys/text_encoding.h"
#include "sys/win_handles.h"

namespace {

// "<system folder>\<program>.exe"; empty when the system folder cannot be read.
std::wstring systemProgramPath(const std::string& program) {
    wchar_t folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(folder, length) + L"\\" + ansiToWide(program) + L".exe";
}

// A bare name would be looked for in the program's own folder first, where anyone may have put a file of
// that name beside a client copy: the system's own program is started by its full path instead. The
// command line itself stays as formed, so the program receives exactly the arguments it always did.
bool startSystemProgram(const char* commandLine, int showCommand) {
    const std::optional<std::string> program = systemCommandProgram(commandLine);
    if (!program)
        return false;
    const std::wstring path = systemProgramPath(*program);
    std::wstring line = ansiToWide(commandLine);
    if (path.empty() || line.empty())
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    // Never waited for: the handles only go.
    UniqueKernelHandle process(started.hProcess);
    UniqueKernelHandle thread(started.hThread);
    return true;
}

unsigned realRunCommand(const char* commandLine, int showCommand, ProgramLookup lookup) {
    if (lookup == ProgramLookup::WinExecSearch)
        return WinExec(commandLine, static_cast<UINT>(showCommand));
    // The codes WinExec gives for a started program and for a missing file.
    return startSystemProgram(commandLine, showCommand) ? 33 : ERROR_FILE_NOT_FOUND;
}

int realMessageBox(void* owner, const char* text, const char* caption, unsigned flags) {
    return MessageBoxW(static_cast<HWND>(owner), utf8ToWide(text).c_str(), utf8ToWide(caption).c_str(), flags);
}

void realWait(unsigned milliseconds) {
    Sleep(milliseconds);
}

std::string ipText(const IP_ADDR_STRING& address) {
    return std::string(address.IpAddress.String, strnlen(address.IpAddress.String, sizeof address.IpAddress.String));
}

bool realReadAdapters(std::vector<AdapterInfo>& adapters) {
    const auto getAdaptersInfo = ipHelper().getAdaptersInfo;
    if (!getAdaptersInfo)
        return false;
    ULONG size = 0;
    std::unique_ptr<unsigned char[]> buffer;
    DWORD result = getAdaptersInfo(nullptr, &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        buffer.reset(new unsigned char[size]);
        result = getAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()), &size);
    }
    if (result != ERROR_SUCCESS)
        return false;
    for (auto* entry = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get()); entry; entry = entry->Next) {
        AdapterInfo info;
        // The first six bytes whatever AddressLength says: the record always holds eight.
        MacBytes mac;
        std::copy_n(entry->Address, mac.size(), mac.begin());
        info.mac = mac;
        info.ipAddress = ipText(entry->IpAddressList);
        info.gateway = ipText(entry->GatewayList);
        info.index = entry->Index;
        adapters.push_back(std::move(info));
    }
    return true;
}

unsigned long systemIpNetTable(void* table, unsigned long* size, int sorted) {
    const auto getIpNetTable = ipHelper().getIpNetTable;
    return getIpNetTable ? getIpNetTable(static_cast<MIB_IPNETTABLE*>(table), size, sorted) : ERROR_NOT_SUPPORTED;
}

bool realReadArpTable(std::vector<ArpRow>& rows) {
    return readArpTableFrom(systemIpNetTable, rows);
}

bool realBestInterface(uint32_t addrNetworkOrder, uint32_t& interfaceIndex) {
    const auto getBestInterface = ipHelper().getBestInterface;
    DWORD index = 0;
    if (!getBestInterface || getBestInterface(addrNetworkOrder, &index) != NO_ERROR)
        return false;
    interfaceIndex = index;
    return true;
}

struct IcmpHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { ipHelper().icmpCloseHandle(handle); }
};
using UniqueIcmpHandle = UniqueHandle<HANDLE, IcmpHandleTraits>;

// One handle for the life of the process, opened at first use: the echo runs on one thread at a time (the window's
// worker or the service's own), so nothing is made or freed per echo.
UniqueIcmpHandle g_icmp;

bool realEcho(uint32_t addrNetworkOrder, unsigned timeoutMs) {
    const IpHelperFunctions& ip = ipHelper();
    if (!ip.icmpCreateFile || !ip.icmpSendEcho || !ip.icmpCloseHandle)
        return false;
    if (!g_icmp)
        g_icmp.reset(ip.icmpCreateFile());
    if (!g_icmp)
        return false;
    // Fresh random bytes, as many as the system's own ping sends: nothing in the packet tells it from anyone's.
    // Should the generator ever fail, the zeros go, which are no mark of ours either.
    unsigned char payload[32] = {};
    systemRandom(payload, sizeof payload);
    // Room for one reply with the payload and an ICMP error's worth besides, as the call documents.
    unsigned char reply[sizeof(ICMP_ECHO_REPLY) + sizeof payload + 8 + 64] = {};
    const DWORD replies =
        ip.icmpSendEcho(g_icmp.get(), addrNetworkOrder, payload, sizeof payload, nullptr, reply, sizeof reply, timeoutMs);
    return replies > 0 && reinterpret_cast<const ICMP_ECHO_REPLY*>(reply)->Status == IP_SUCCESS;
}

uint16_t realSystemDefaultLangId() {
    return GetSystemDefaultLangID();
}

intptr_t realShellOpen(const char* address, int showCommand) {
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, showCommand));
}

bool realNotifyIcon(unsigned long message, void* data) {
    return Shell_NotifyIconA(message, static_cast<NOTIFYICONDATAA*>(data)) != FALSE;
}

bool realNotifyIconWide(unsigned long message, void* data) {
    return Shell_NotifyIconW(message, static_cast<NOTIFYICONDATAW*>(data)) != FALSE;
}

bool realInterfaceLink(uint32_t interfaceIndex, InterfaceLink& link) {
    const IpHelperFunctions& ip = ipHelper();
    MIB_IF_ROW2 row = {};
    row.InterfaceIndex = interfaceIndex;
    if (!ip.getIfEntry2 || ip.getIfEntry2(&row) != NO_ERROR)
        return false;
    link.connected = row.MediaConnectState == MediaConnectStateConnected;
    // The newer row keeps no time of a change; the older one stamps the last change of the interface's state, where
    // the system fills it in (Windows does; Wine leaves 0, and nothing else of it changes with a short drop).
    MIB_IFROW legacy = {};
    legacy.dwIndex = interfaceIndex;
    link.lastChange = ip.getIfEntry && ip.getIfEntry(&legacy) == NO_ERROR ? legacy.dwLastChange : 0;
    return true;
}

uint32_t realTickCount() {
    return GetTickCount();
}

const SystemSeams kRealSeams = {
    realRunCommand,          realMessageBox, realWait,       realReadAdapters,   realReadArpTable,
    realSystemDefaultLangId, realShellOpen,  realNotifyIcon, realNotifyIconWide, realTickCount,
    isProcessElevated,       realBestInterface, realEcho, realInterfaceLink};

}  // namespace

bool readArpTableFrom(IpNetTableSource source, std::vector<ArpRow>& rows) {
    // Room for the entry count and 301 rows first, then whatever size the system asks for. A table that
    // keeps growing, or a size that cannot be allocated, is not read.
    constexpr int kMaxAttempts = 16;
    unsigned long capacity = offsetof(MIB_IPNETTABLE, table) + 301 * sizeof(MIB_IPNETROW);
    std::unique_ptr<unsigned char[]> buffer;
    unsigned long result = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < kMaxAttempts && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        buffer.reset(new (std::nothrow) unsigned char[capacity < sizeof(DWORD) ? sizeof(DWORD) : capacity]());
        if (!buffer)
            return false;
        unsigned long size = capacity;
        result = source(buffer.get(), &size, TRUE);
        if (result == ERROR_INSUFFICIENT_BUFFER)
            capacity = size;
    }
    // Windows answers an empty cache with "no data": a table read, with no rows.
    if (result == ERROR_NO_DATA)
        return true;
    if (result != NO_ERROR)
        return false;
    // Only rows that lie inside the buffer are read, whatever the entry count says.
    auto* table = reinterpret_cast<MIB_IPNETTABLE*>(buffer.get());
    size_t rowsInBuffer = capacity < offsetof(MIB_IPNETTABLE, table)
                              ? 0
                              : (capacity - offsetof(MIB_IPNETTABLE, table)) / sizeof(MIB_IPNETROW);
    for (size_t i = 0; i < table->dwNumEntries && i < rowsInBuffer; ++i) {
        const MIB_IPNETROW& entry = table->table[i];
        ArpRow row;
        row.index = entry.dwIndex;
        row.physAddrLen = entry.dwPhysAddrLen;
        memcpy(row.physAddr, entry.bPhysAddr, sizeof row.physAddr);
        row.addr = entry.dwAddr;
        row.type = entry.dwType;
        rows.push_back(row);
    }
    return true;
}

SystemSeams& seams() {
    static SystemSeams current = kRealSeams;
    return current;
}

const SystemSeams& realSeams() {
    return kRealSeams;
}
