#pragma once
#include <optional>

// The command lines fleet tools run as SYSTEM or an administrator, with nobody at the screen: "/install" reads this
// copy's client package, writes the machine key and installs or updates the service (a client copy's rules) and
// starts it; "/uninstall" removes the service with everything it put in place. Neither shows a window, an icon or a
// message box, nor touches a user's settings, shortcut or desktop. The exit code is what the tool reads:
// 0 done, 5 not elevated (nothing changed), 13 no valid package, 1603 a step failed (named in the event log).
// None for any other command line, which runs the program as usual.
std::optional<int> runSilentSetup();
