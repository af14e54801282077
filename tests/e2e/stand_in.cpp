// Stand-in for a system command (arp.exe, ping.exe). It appends its whole command line, bytes as received,
// followed by one zero byte that separates the records, to its log. The test driver puts it in the system
// folder, where every sandbox shares it: there it logs to the file XIRARP_COMMAND_LOG names (the running
// sandbox's). A copy planted anywhere else logs to commands.log beside itself, so that whether it ever ran
// can be told apart.
#include <windows.h>

namespace {

bool inSystemFolder(const char* folder, DWORD folderLength) {
    char system[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, MAX_PATH);
    return length != 0 && length < MAX_PATH && length + 1 == folderLength &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, system, static_cast<int>(length), folder,
                          static_cast<int>(length)) == CSTR_EQUAL;
}

}  // namespace

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
    bool namedLog = false;
    if (inSystemFolder(path, length)) {
        DWORD named = GetEnvironmentVariableA("XIRARP_COMMAND_LOG", path, MAX_PATH);
        namedLog = named != 0 && named < MAX_PATH;
    }
    if (!namedLog)
        lstrcpyA(path + length, logName);

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
