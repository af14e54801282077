#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "steps/sandbox.h"

namespace {

std::string parentFolder(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

void removeTree(const std::string& folder) {
    std::wstring doubleTerminated = widePath(folder) + L'\0' + L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = doubleTerminated.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}

}  // namespace

std::wstring widePath(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                     static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return wide;
}

std::string systemFolder() {
    char folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length != 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

std::string driverFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return parentFolder(path);
}

std::string sandboxRoot() {
    return parentFolder(driverFolder()) + "\\e2e-sandbox";
}

std::string adminImagePath() {
    return driverFolder() + "\\XirARP.exe";
}

std::string readFileBytes(const std::string& path) {
    HANDLE file = CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[65536];
    DWORD received = 0;
    while (ReadFile(file, buffer, sizeof buffer, &received, nullptr) && received > 0)
        bytes.append(buffer, received);
    CloseHandle(file);
    return bytes;
}

namespace {

// Writes all bytes to a file opened with the given access and disposition.
bool putFileBytes(const std::string& path, DWORD access, DWORD disposition, const std::string& bytes) {
    HANDLE file = CreateFileW(widePath(path).c_str(), access, 0, nullptr, disposition, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

}  // namespace

bool writeFileBytes(const std::string& path, const std::string& bytes) {
    return putFileBytes(path, GENERIC_WRITE, CREATE_ALWAYS, bytes);
}

bool appendFileBytes(const std::string& path, const std::string& bytes) {
    return putFileBytes(path, FILE_APPEND_DATA, OPEN_EXISTING, bytes);
}

Sandbox::Sandbox(const std::string& name) {
    const std::string root = sandboxRoot();
    CreateDirectoryA(root.c_str(), nullptr);
    folder_ = root + "\\" + name;
    removeTree(folder_);
    CreateDirectoryW(widePath(folder_).c_str(), nullptr);
    // Copied over the system's own programs only when something else is there (Wine's, or another
    // stand-in a benchmark put in): a stand-in that is still running from an earlier case can stay.
    const std::string standIns = parentFolder(driverFolder()) + "\\standins";
    for (const char* program : {"\\arp.exe", "\\ping.exe"}) {
        const std::string standIn = standIns + program, installed = systemFolder() + program;
        if (readFileBytes(installed) != readFileBytes(standIn))
            CopyFileA(standIn.c_str(), installed.c_str(), FALSE);
    }
    SetEnvironmentVariableA("XIRARP_COMMAND_LOG", path("commands.log").c_str());
}

std::string Sandbox::copyProgram(const std::string& fileName) const {
    std::string target = path(fileName);
    CopyFileW(widePath(adminImagePath()).c_str(), widePath(target).c_str(), FALSE);
    return target;
}

std::vector<std::string> Sandbox::recordedCommands() const {
    std::string log = readFileBytes(path("commands.log"));
    std::vector<std::string> commands;
    size_t start = 0;
    for (size_t end; (end = log.find('\0', start)) != std::string::npos; start = end + 1)
        commands.push_back(log.substr(start, end - start));
    return commands;
}

size_t Sandbox::countRecorded(const std::string& command) const {
    size_t count = 0;
    for (const std::string& recorded : recordedCommands())
        count += recorded == command;
    return count;
}

DWORD Sandbox::waitForRecorded(const std::string& command, size_t count, DWORD milliseconds) const {
    DWORD start = GetTickCount();
    while (countRecorded(command) < count) {
        if (GetTickCount() - start > milliseconds)
            return 0;
        Sleep(20);
    }
    return GetTickCount();
}

std::string Sandbox::makeSubfolder(const std::string& name) const {
    std::string sub = path(name);
    CreateDirectoryW(widePath(sub).c_str(), nullptr);
    return sub;
}
