#pragma once

// Whether the command line asks for the service: exactly one argument, "/service" (in any case).
bool startedAsService();

// Hands the process to the service manager and runs the service until it is stopped. Returns the process's
// exit code: 0 after a normal stop, non-zero at once when the service manager did not start the program.
int runAsService();
