#pragma once
#include <string>

// Files as the tests make, read and remove them. Paths are UTF-8, so that they can name folders outside the
// ANSI code page.
std::wstring widePath(const std::string& utf8);
bool fileExists(const std::string& path);            // a file, not a folder
std::string readFileBytes(const std::string& path);  // empty when it cannot be read
bool writeFileBytes(const std::string& path, const std::string& bytes);
bool appendFileBytes(const std::string& path, const std::string& bytes);
void removeTree(const std::string& folder);  // the folder and everything in it
