#include <windows.h>
#include <shlwapi.h>

#include "steps/sandbox.h"
#include "support/files.h"
#include "support/windows.h"

namespace {

std::string parentFolder(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

}  // namespace

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

std::string Sandbox::copyClient(const std::string& trailer, const std::string& fileName) const {
    std::string target = copyProgram(fileName);
    appendFileBytes(target, trailer);
    return target;
}

ArpSettings clientSettings() {
    return ArpSettings{.language = 0,
                       .mode = kTokenClientBind,
                       .pwd = "0123456789abcdef0123456789abcdef",
                       .timer = 600,
                       .gwmac = "00-11-22-33-44-55",
                       .gwip = "192.168.1.1"};
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
        if (pastDeadline(start, milliseconds))
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

std::string Sandbox::plantDll(const std::string& fileName) const {
    const std::string planted = parentFolder(driverFolder()) + "\\planted\\iphlpapi.dll";
    CopyFileW(widePath(planted).c_str(), widePath(path(fileName)).c_str(), FALSE);
    return path(fileName) + ".loaded";
}
