#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "net/address_text.h"

// How Apply turns what the window shows into the values it stores and hands to client copies.

// "K7QW2MZP9TLX5" only when "YES" is selected and "NO" is not; every other state, including neither
// or both, gives "58RDE3HVN0GA1".
const char* clientModeToken(bool yesSelected, bool noSelected);

// The six MAC texts joined by "-", each exactly as typed: no zeros added, no change of case.
std::string composeGwmac(const std::array<std::string, 6>& groups);

// True when the six MAC texts make an address no host answers with (all zeros, broadcast, a group address):
// pinned, it would cut every client off its gateway. Texts that make no address at all are not judged here.
bool gatewayMacRefused(const std::array<std::string, 6>& groups);

// Index of the first empty MAC text, or -1 when all six hold something.
int firstEmptyMacGroup(const std::array<std::string, 6>& groups);

// Dotted decimal, first field first.
std::string formatIpv4Text(const Ipv4Bytes& bytes);

// The decimal number at the start of the interval text, read as "%d" would: leading blanks skipped, an
// optional sign, then digits up to the first non-digit. A text without digits gives 0; a number beyond
// the 32-bit range is clamped to it.
int32_t intervalFromText(const std::string& text);
