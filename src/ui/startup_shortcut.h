#pragma once
#include <windows.h>

#include <string>

// The logon shortcut: "<Startup folder>\<application name>.lnk", so that an administrator program and a
// client copy on one account keep separate shortcuts. Empty when the Startup folder is unknown.
std::wstring startupShortcutPath();

// Creates or replaces the shell link at link: target, its folder (with the trailing backslash) as the
// working folder, and the description (UTF-8). Paths are wide, so that folders outside the ANSI code page
// work; the link keeps at most MAX_PATH characters per path (E_FAIL beyond). Returns the COM status.
HRESULT CreateStartupShortcut(const std::wstring& target, const std::string& description, const std::wstring& link);
