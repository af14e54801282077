// What someone who can write the program's folder puts there under a system library's name: loaded, it leaves
// a file of its own name with ".loaded" added. It exports nothing, so an import it should serve fails.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    wchar_t path[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    if (reason == DLL_PROCESS_ATTACH && length > 0 && length < MAX_PATH) {
        lstrcatW(path, L".loaded");
        CloseHandle(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return TRUE;
}
