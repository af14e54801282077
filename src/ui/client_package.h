#pragma once
#include <string>

// The file an administrator hands to end users: a copy of this program with the client configuration
// text behind the administrator image.
constexpr const wchar_t* kClientPackageName = L"XirARP-Client.exe";

// "<user's temp folder>\XirARP", where the package is put together: a folder every user may write to, so
// that neither missing rights nor the system's redirection of a 32-bit program can hide a failure. Empty
// when the temp folder cannot be read.
std::wstring clientStagingFolder();

// Copies the own executable into the staging folder (cut to the administrator image if it is longer),
// appends the configuration text, copies the result to "<desktop>\XirARP-Client.exe" replacing an older
// one, and removes the staging copy and folder again, whatever happened. Nothing is opened for writing
// unless the staging folder exists and the fresh copy in it was made, so that no other file of that
// name is ever touched. True only when the package reached the desktop.
bool writeClientPackage(const std::wstring& ownExecutable,
                        const std::string& configText,
                        const std::wstring& stagingFolder,
                        const std::wstring& desktopFolder);
