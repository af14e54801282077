#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The rights a copy runs with. Wine starts every process elevated; the limited half of the driver's own token
// (TokenLinkedToken) starts one that is not, as a standard user's logon would.
enum class Rights { Elevated, Limited };

// One started copy of the program under test. Ends it on destruction if it still runs.
class RunningProgram {
public:
    // Paths are UTF-8. extraEnvironment: "NAME=value" entries added to the driver's own environment.
    RunningProgram(const std::string& exePath, const std::string& workingFolder,
                   const std::vector<std::string>& extraEnvironment = {}, Rights rights = Rights::Elevated,
                   const std::string& arguments = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD processId() const { return processId_; }
    bool running() const;
    // True when the process ended within the time.
    bool waitForExit(DWORD milliseconds) const;
    // STILL_ACTIVE while it runs; the handle is kept, so the code can still be read once it ended.
    DWORD exitCode() const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};
