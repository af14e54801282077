#include "steps/program.h"

#include "steps/sandbox.h"
#include "support/windows.h"

namespace {

// The driver's environment block with the extra entries added (they win over existing ones).
std::wstring environmentWith(const std::vector<std::string>& extra) {
    std::wstring block;
    for (const std::string& entry : extra) {
        block.append(entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    wchar_t* current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
        bool overridden = false;
        for (const std::string& added : extra) {
            std::wstring name(added.begin(), added.begin() + static_cast<long>(added.find('=') + 1));
            overridden = overridden || _wcsnicmp(entry, name.c_str(), name.size()) == 0;
        }
        if (!overridden) {
            block.append(entry);
            block.push_back(L'\0');
        }
    }
    FreeEnvironmentStringsW(current);
    block.push_back(L'\0');
    return block;
}

// The limited token linked to the driver's elevated one; null where there is none.
HANDLE limitedToken() {
    HANDLE own = nullptr;
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own))
        GetTokenInformation(own, TokenLinkedToken, &linked, sizeof linked, &size);
    CloseHandle(own);
    return linked.LinkedToken;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& exePath, const std::string& workingFolder,
                               const std::vector<std::string>& extraEnvironment, Rights rights,
                               const std::string& arguments) {
    std::wstring exe = widePath(exePath);
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + widePath(arguments));
    std::wstring folder = widePath(workingFolder);
    std::wstring environment = environmentWith(extraEnvironment);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    // Without a limited token a limited copy is not started at all: it would run elevated.
    HANDLE token = rights == Rights::Limited ? limitedToken() : nullptr;
    if ((rights == Rights::Elevated || token) &&
        CreateProcessAsUserW(token, exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                             environment.data(), folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
    }
    CloseHandle(token);
}

RunningProgram::~RunningProgram() {
    if (!process_)
        return;
    if (running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool RunningProgram::running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD RunningProgram::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

bool RunningProgram::waitForExit(DWORD milliseconds) const {
    return process_ && WaitForSingleObject(process_, patient(milliseconds)) == WAIT_OBJECT_0;
}
