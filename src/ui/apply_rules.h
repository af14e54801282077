#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "net/address_text.h"

// How Apply turns what the window shows into the values it stores and hands to client copies.

// "K7QW2MZP9TLX5" only when "YES" is selected and "NO" is not; every other state, including neither
// or both, gives "58RDE3HVN0GA1".
const char* clientModeToken(bool yesSelected, bool noSelected);

// The address the six MAC fields make, each read as one group of a MAC text (parseMacByte); none while a field is
// empty or holds anything else.
std::optional<MacBytes> macOfFields(const std::array<std::string, 6>& groups);

// Dotted decimal, first field first.
std::string formatIpv4Text(const Ipv4Bytes& bytes);

// The decimal number at the start of the interval text, read as "%d" would: leading blanks skipped, an
// optional sign, then digits up to the first non-digit. A text without digits gives 0; a number beyond
// the 32-bit range is clamped to it.
int32_t intervalFromText(const std::string& text);
