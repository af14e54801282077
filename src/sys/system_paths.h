#pragma once
#include <string>

// Paths are wide texts: a folder such as C:\Users\张三\Desktop need not fit the system's ANSI code page.

// Full path of the running executable, found through the module, whatever the current folder.
std::wstring ownExecutablePath();
// The executable's file name without folder and extension; the caption of start-up's messages.
std::wstring applicationName();
// The current folder, or empty when it cannot be read.
std::wstring currentFolder();
// "C:\dir\XirARP-Client.exe" -> "XirARP-Client".
std::wstring fileStem(const std::wstring& path);

// The user's Desktop and Startup folders as the shell publishes them (the "Shell Folders" key of the current
// user's Explorer settings), read as wide texts. Empty when the value is missing, is not a text, or is too
// long to be a path.
std::wstring userDesktopFolder();
std::wstring userStartupFolder();
