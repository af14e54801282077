#pragma once
#include <windows.h>

#include <string>

#include "steps/sandbox.h"

// Delivers binding-timer expiries to the program's window as the timer would (WM_TIMER, id 1) and waits
// until the stand-in has recorded the command once for each. A few are posted ahead of what is
// recorded, never more, so the started processes do not pile up. Now and then Wine loses one of several
// overlapping process starts: expiries still unrecorded 3 s after the last record are counted in *lost
// and posted again. Every record in the sandbox's log must be this command. False when nothing is
// recorded for 30 s.
bool deliverTimerExpiries(const Sandbox& sandbox, HWND window, const std::string& command, size_t expiries,
                          size_t* lost = nullptr);
