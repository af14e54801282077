#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "net/binding_commands.h"

// Runs "arp -s gwip gwmac" hidden and re-arms the window's binding timer with interval seconds (clamped
// to the longest period the system accepts). No command is run for texts that are not an IPv4 address
// and a MAC address, or too long for the buffer; the timer is still re-armed. Returns the period armed in
// ms, or 0 when the interval is 0 or below: then nothing is run and the timer keeps its period.
// commandStarted, when given, tells whether the command was started.
uint32_t BindGateway(HWND window,
                     int32_t interval,
                     const std::string& gwip,
                     const std::string& gwmac,
                     bool* commandStarted = nullptr);

// Runs "arp -s gwip gwmac" hidden, the binding's own command, without touching the binding timer. Nothing is
// run for texts that do not make a command. True when the command was started.
bool runBindCommand(const std::string& gwip, const std::string& gwmac);

// Runs "arp -d gwip" hidden, dropping the static entry of that gateway. Nothing is run for a text that is
// not an IPv4 address, the empty text included.
void runRemoveCommand(const std::string& gwip);

// The first binding follows one second after a completed Apply.
void startBindTimer(HWND window);
// Apply at its start, the uninstall and the window's destruction stop the binding.
void stopBindTimer(HWND window);

// The main window's timer handler for the binding; the window keeps one of these as a member and
// passes its own members at each expiry.
class BindingTimer {
  public:
    // Timer 1 binds the window's gateway pair, or warns (owned by the window, in its language) when the
    // interval, gwip or gwmac is missing. While that warning is open, later expiries warn no further.
    // Every other timer id is ignored. True when the bind command was started.
    bool OnTimer(HWND window,
                 UINT_PTR id,
                 int32_t timer,
                 const std::string& gwip,
                 const std::string& gwmac,
                 int32_t language);

  private:
    bool warningOpen_ = false;
};
