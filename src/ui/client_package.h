#pragma once
#include <string>

// The file an administrator hands to end users: a copy of this program with the client configuration
// text behind the administrator image.
constexpr const char* kClientPackageName = "XirARP-Client.exe";

enum class PackageOutcome {
    Delivered,     // the package is on the desktop
    NotDelivered,  // made, but the desktop is unknown or refused the copy; not reported
    Failed,        // could not be made; Apply ends without a message
};

// "<system directory>\XirARP", where the package is put together; empty when the system directory
// does not fit its 1,024-byte buffer.
std::string clientStagingFolder();

// Copies the own executable into the staging folder (cut to the administrator image if it is longer),
// appends the configuration text, copies the result to "<desktop>\XirARP-Client.exe" replacing an older
// one, and removes the staging copy and folder again, whatever happened. Nothing is opened for writing
// unless the staging folder exists and the fresh copy in it was made, so that no other file of that
// name is ever touched.
PackageOutcome writeClientPackage(const std::string& ownExecutable,
                                  const std::string& configText,
                                  const std::string& stagingFolder,
                                  const std::string& desktopFolder);
