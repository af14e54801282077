#pragma once
#include <string>

// How this copy of the program runs, fixed during start-up before the main window exists.
enum class RunMode { Admin = 1, ClientAsk = 2, ClientBind = 3 };

// "K7QW2MZP9TLX5" gives ClientAsk, "58RDE3HVN0GA1" gives ClientBind, any other text Admin.
RunMode runModeFromToken(const std::string& token);

RunMode currentRunMode();
void setRunMode(RunMode mode);
