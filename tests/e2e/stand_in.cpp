// Stand-in for a system command (arp.exe, ping.exe) placed beside the program under test. It appends
// its whole command line, bytes as received, to commands.log in its own folder, followed by one
// zero byte that separates the records.
#include <windows.h>

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
