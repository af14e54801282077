#pragma once
#include <cstdint>
#include <vector>

#include "net/gateway_rules.h"

// Where runCommand looks for the program a command line names.
enum class ProgramLookup {
    // The line's leading word is a system program's plain name (arp, ping): the program is started from the
    // system folder by its full path, never a file of that name beside the program; the line is passed as it is.
    SystemFolderOnly,
    // The line goes to WinExec as it is, which finds the program the usual way (a command registered for web
    // pages names its own).
    WinExecSearch,
};

// The few operating-system operations that in-process tests replace. Real by default.
// Window handles are passed as void* so that this header stays free of <windows.h>.
struct SystemSeams {
    // Starts a command line with the given show command (SW_HIDE, ...) and does not wait for it. Returns
    // WinExec's code: above 31 means started.
    unsigned (*runCommand)(const char* commandLine, int showCommand, ProgramLookup lookup);
    // Shows a message box; texts are UTF-8. Returns the button pressed (IDOK, IDCANCEL, ...).
    int (*messageBox)(void* owner, const char* text, const char* caption, unsigned flags);
    void (*wait)(unsigned milliseconds);
    // Fills the system's adapter list in its order; false when it cannot be read.
    bool (*readAdapters)(std::vector<AdapterInfo>& adapters);
    // Fills the rows of the ARP cache; false when the table cannot be read.
    bool (*readArpTable)(std::vector<ArpRow>& rows);
    uint16_t (*systemDefaultLangId)();
    // Opens a document or address with the shell's verb "open", no owner window (ShellExecuteA). Returns
    // the shell's code; above 32 means success.
    intptr_t (*shellOpen)(const char* address, int showCommand);
    // Adds, changes or deletes a notification-area icon (Shell_NotifyIconA; data is a NOTIFYICONDATAA whose
    // cbSize says how much of it counts). Returns the shell's result.
    bool (*notifyIcon)(unsigned long message, void* data);
    // The same for a NOTIFYICONDATAW (Shell_NotifyIconW), so that tips and balloons show every language
    // whatever the ANSI code page.
    bool (*notifyIconWide)(unsigned long message, void* data);
    // Milliseconds since the system started, wrapping (GetTickCount).
    uint32_t (*tickCount)();
    // Whether this process has administrator rights (isProcessElevated).
    bool (*processElevated)();
    // The interface that routes to an address given in network byte order (GetBestInterface); false when
    // none does.
    bool (*bestInterface)(uint32_t addrNetworkOrder, uint32_t& interfaceIndex);
    // Sends one ICMP echo to an address given in network byte order and waits up to timeoutMs for the answer
    // (IcmpSendEcho); true when it came.
    bool (*echo)(uint32_t addrNetworkOrder, unsigned timeoutMs);
    // The link of the interface of that index; false when the system cannot say.
    bool (*interfaceLink)(uint32_t interfaceIndex, InterfaceLink& link);
};

SystemSeams& seams();
const SystemSeams& realSeams();

// The ARP cache reader behind readArpTable, over a source shaped like GetIpNetTable (table buffer,
// size in/out, sorted flag; 0, or 122 with the needed size when the buffer is too small), so that
// tests can feed its growth loop a table of their own. False when the source fails, keeps growing, or asks
// for more than can be allocated.
using IpNetTableSource = unsigned long (*)(void* table, unsigned long* size, int sorted);
bool readArpTableFrom(IpNetTableSource source, std::vector<ArpRow>& rows);
