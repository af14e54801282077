#pragma once

// Whether this process runs with administrator rights: its token is elevated (Vista and later), or, on a
// system without elevation, it belongs to the Administrators group. Adding a static ARP entry, installing the
// service and writing HKEY_LOCAL_MACHINE all need it.
bool isProcessElevated();
