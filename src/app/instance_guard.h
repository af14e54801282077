#pragma once
#include <windows.h>

constexpr const char* kInstanceMutexName = "Global\\{{DAC6E3DB-AE7B-4dac-A303-35E79BCB5B67}}";

// The machine-wide mutex that marks a running copy. Created when the program is loaded, before
// start-up runs, and held until the process ends. It is never waited on.
class InstanceGuard {
public:
    InstanceGuard();
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    bool anotherCopyRuns() const { return anotherCopyRuns_; }

private:
    HANDLE mutex_;
    bool anotherCopyRuns_;
};

const InstanceGuard& instanceGuard();
