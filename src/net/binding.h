#pragma once
#include <string>

#include "net/binding_settings.h"

// Runs "arp -s" hidden for the settings' pair. True when the command was started.
bool runBindCommand(const BindingSettings& settings);

// Runs "arp -d gwip" hidden, dropping the static entry of that gateway. Nothing is run for a text that is
// not an IPv4 address, the empty text included.
void runRemoveCommand(const std::string& gwip);
