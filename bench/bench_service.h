#pragma once

// xirarp_bench service <seconds>: installs the image as the service by hand (as Apply would, with the
// timestamping arp.exe in the system folder), times StartService to the first "arp -s", reads the service
// process's private bytes and its CPU time over that many idle seconds, then removes it all again.
int serviceFigures(int seconds);

// xirarp_bench install: times "XirARP-Client.exe /install", run elevated as a fleet tool runs it, from its start to
// the service's first "arp -s" (the timestamping arp.exe in the system folder), then "/uninstall" removes it again.
int installFigure();
