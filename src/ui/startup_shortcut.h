#pragma once
#include <windows.h>

#include <string>

// The logon shortcut: "<Startup folder>\<application name>.lnk", so that an administrator program and a
// client copy on one account keep separate shortcuts. Empty when the Startup folder is unknown.
std::string startupShortcutPath();

// Creates or replaces the shell link at link: target, its folder (with the trailing backslash) as the
// working folder, and the description. Returns the COM status.
HRESULT CreateStartupShortcut(const std::string& target, const std::string& description, const std::string& link);
