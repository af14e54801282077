#include "app/instance_guard.h"

InstanceGuard::InstanceGuard()
    : mutex_(CreateMutexA(nullptr, FALSE, kInstanceMutexName)), anotherCopyRuns_(GetLastError() == ERROR_ALREADY_EXISTS) {}

InstanceGuard::~InstanceGuard() {
    if (mutex_)
        CloseHandle(mutex_);
}

namespace {
// A namespace-scope object, so the mutex exists before WinMain starts.
const InstanceGuard g_instanceGuard;
}  // namespace

const InstanceGuard& instanceGuard() {
    return g_instanceGuard;
}
