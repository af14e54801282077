#include "steps/timer_expiries.h"

namespace {

constexpr size_t kInFlight = 4;

// Every record is the same command, so the log's size tells the count without reading a file that grows
// to hundreds of kilobytes.
size_t recordedTimes(const Sandbox& sandbox, const std::string& command) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(sandbox.path("commands.log").c_str(), GetFileExInfoStandard, &data))
        return 0;
    return data.nFileSizeLow / (command.size() + 1);
}

}  // namespace

bool deliverTimerExpiries(const Sandbox& sandbox, HWND window, const std::string& command, size_t expiries,
                          size_t* lost) {
    const size_t before = recordedTimes(sandbox, command);
    size_t posted = 0, lastSeen = 0;
    DWORD lastProgress = GetTickCount(), lastRetry = lastProgress;
    for (size_t seen; (seen = recordedTimes(sandbox, command) - before) < expiries;) {
        const DWORD now = GetTickCount();
        if (seen != lastSeen) {
            lastSeen = seen;
            lastProgress = lastRetry = now;
        } else if (now - lastProgress > 30000) {
            return false;
        } else if (now - lastRetry > 3000 && posted > seen) {
            if (lost)
                *lost += posted - seen;
            posted = seen;
            lastRetry = now;
        }
        if (posted < expiries && posted - seen < kInFlight) {
            PostMessageW(window, WM_TIMER, 1, 0);
            ++posted;
        } else {
            Sleep(2);
        }
    }
    return true;
}
