#pragma once
#include <optional>
#include <string>

// The program a system command line starts: its leading word, "arp" in "arp -s 192.168.1.1 ...". The
// word is resolved in the system folder only, never by the search path, so it must be a plain name:
// letters, digits, "-" and "_", ended by a space or the end of the line. None for anything else.
std::optional<std::string> systemCommandProgram(const std::string& commandLine);
