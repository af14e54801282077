// Stand-in for a system command (arp.exe, ping.exe). It appends its whole command line, bytes as received,
// followed by one zero byte that separates the records, to its log. The test driver puts it in the system
// folder, where every sandbox shares it: there it logs to the file XIRARP_COMMAND_LOG names (the running
// sandbox's). A copy planted anywhere else logs to commands.log beside itself, so that whether it ever ran
// can be told apart.
// Like arp.exe run without administrator rights, it changes nothing. Only with XIRARP_ARP_EFFECT=neighbour
// inside the network of namespaces scripts/netns.sh makes (the attack suite's) does an "arp -s IP MAC" also
// take effect, as "ip neigh replace IP lladdr MAC dev eth0 nud permanent" in the stand-in's namespace, and an
// "arp -d IP" as "ip neigh del IP dev eth0".
#include <windows.h>

#include <cstring>
#include <initializer_list>

namespace {

// The next space-separated word of the command line, if it has only the allowed characters and fits.
bool takeWord(const char*& cursor, const char* allowed, char* word, size_t capacity) {
    while (*cursor == ' ')
        ++cursor;
    size_t length = 0;
    for (; *cursor && *cursor != ' ' && *cursor != '\r' && *cursor != '\n'; ++cursor, ++length) {
        if (length + 1 >= capacity || !std::strchr(allowed, *cursor))
            return false;
        word[length] = *cursor == '-' ? ':' : *cursor;
    }
    word[length] = '\0';
    return length > 0;
}

// "arp -s IP MAC" and "arp -d IP" carried out on the kernel's neighbour table; anything else changes nothing.
void pinInNeighbourTable(const char* commandLine) {
    char ip[16], mac[18];
    const char* cursor = commandLine;
    const bool remove = std::strncmp(cursor, "arp -d ", 7) == 0;
    if (!remove && std::strncmp(cursor, "arp -s ", 7) != 0)
        return;
    cursor += 7;
    if (!takeWord(cursor, "0123456789.", ip, sizeof ip) ||
        (!remove && !takeWord(cursor, "0123456789abcdefABCDEF-", mac, sizeof mac)))
        return;
    char line[96];
    if (remove)
        wsprintfA(line, "ip neigh del %s dev eth0", ip);
    else
        wsprintfA(line, "ip neigh replace %s lladdr %s dev eth0 nud permanent", ip, mac);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    // Wine starts a Linux program and hands back no handles to wait on.
    if (CreateProcessA("Z:\\usr\\sbin\\ip", line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        if (started.hThread)
            CloseHandle(started.hThread);
        if (started.hProcess)
            CloseHandle(started.hProcess);
    }
}

// Asked for, and inside the network scripts/netns.sh made (never the machine's own table). A service gets an
// environment the service manager makes afresh: for it the attack suite, inside that network, puts the word in
// arp-effect.txt beside the stand-in (folder: the stand-in's own, ending in a backslash) while its case runs.
bool neighbourEffectWanted(const char* folder) {
    char effect[16] = {};
    DWORD length = GetEnvironmentVariableA("XIRARP_ARP_EFFECT", effect, sizeof effect);
    if (length > 0 && length < sizeof effect)
        return lstrcmpA(effect, "neighbour") == 0 && GetEnvironmentVariableA("XIRARP_NETNS_STEP", nullptr, 0) > 0;
    char marker[MAX_PATH];
    if (lstrlenA(folder) + 16 > MAX_PATH)
        return false;
    wsprintfA(marker, "%sarp-effect.txt", folder);
    HANDLE file = CreateFileA(marker, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD read = 0;
    ReadFile(file, effect, sizeof effect - 1, &read, nullptr);
    CloseHandle(file);
    return lstrcmpA(effect, "neighbour") == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    while (length > 0 && path[length - 1] != '\\')
        --length;
    char folder[MAX_PATH];
    lstrcpynA(folder, path, static_cast<int>(length) + 1);
    const char logName[] = "commands.log";
    if (length + sizeof logName > MAX_PATH)
        return 1;
    // A 32-bit stand-in on 64-bit Windows lies in the 32-bit system folder, whatever name its program used.
    char system[MAX_PATH];
    bool shared = false;
    for (auto systemFolder : {GetSystemDirectoryA, GetSystemWow64DirectoryA}) {
        UINT systemLength = systemFolder(system, MAX_PATH);
        shared = shared || (systemLength + 1 == length && _strnicmp(system, path, systemLength) == 0);
    }
    DWORD named = shared ? GetEnvironmentVariableA("XIRARP_COMMAND_LOG", system, MAX_PATH) : 0;
    lstrcpyA(path + length, logName);
    if (named != 0 && named < MAX_PATH)
        lstrcpyA(path, system);

    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    const char* commandLine = GetCommandLineA();
    DWORD written = 0;
    WriteFile(log, commandLine, lstrlenA(commandLine) + 1, &written, nullptr);
    CloseHandle(log);
    if (neighbourEffectWanted(folder))
        pinInNeighbourTable(commandLine);
    return 0;
}
