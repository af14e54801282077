#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One started copy of the program under test. Ends it on destruction if it still runs.
class RunningProgram {
public:
    // Paths are UTF-8. extraEnvironment: "NAME=value" entries added to the driver's own environment.
    RunningProgram(const std::string& exePath, const std::string& workingFolder,
                   const std::vector<std::string>& extraEnvironment = {});
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
