#pragma once
#include <string>

// The user's Desktop and Startup folders as the shell publishes them (the "Shell Folders" key of the current
// user's Explorer settings), read as wide texts. Empty when the value is missing, is not a text, or is too
// long to be a path.
std::wstring userDesktopFolder();
std::wstring userStartupFolder();
