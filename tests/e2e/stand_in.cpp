// Stand-in for a system command (arp.exe, ping.exe). It appends its whole command line, bytes as received,
// followed by one zero byte that separates the records, to its log. The test driver puts it in the system
// folder, where every sandbox shares it: there it logs to the file XIRARP_COMMAND_LOG names (the running
// sandbox's). A copy planted anywhere else logs to commands.log beside itself, so that whether it ever ran
// can be told apart.
#include <windows.h>

#include <cstring>
#include <initializer_list>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    while (length > 0 && path[length - 1] != '\\')
        --length;
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
    return 0;
}
