#pragma once
#include <string>

// Texts of the program are UTF-8; registry values and passwords are bytes of the ANSI code page; file paths
// are wide texts.
std::wstring utf8ToWide(const std::string& utf8);
std::string wideToUtf8(const std::wstring& wide);
std::wstring ansiToWide(const std::string& ansi);
std::string wideToAnsi(const std::wstring& wide);
// Whether the ANSI code page holds every character of the text, so that wideToAnsi gives it back unchanged;
// a character it cannot hold would turn into the code page's default character or a look-alike.
bool fitsAnsiCodePage(const std::wstring& wide);
// Whether wideToAnsi puts the code page's default character ("?") for a character that has not even a look-alike.
bool needsAnsiDefaultChar(const std::wstring& wide);
