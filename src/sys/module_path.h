#pragma once
#include <string>

// Full path of the running executable (ANSI), found through the module, whatever the current folder.
std::string ownExecutablePath();
// The executable's file name without folder and extension; the caption of start-up's messages.
std::string applicationName();
// The current folder, or empty when it is longer than the system's path limit.
std::string currentFolder();
// Portable part: "C:\dir\XirARP-Client.exe" -> "XirARP-Client".
std::string fileStem(const std::string& path);
