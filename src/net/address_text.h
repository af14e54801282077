#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using Ipv4Bytes = std::array<uint8_t, 4>;
using MacBytes = std::array<uint8_t, 6>;

// Dotted decimal: exactly four parts of one to three decimal digits each (blanks around a part are
// allowed); a part's low eight bits are its byte. Anything else, such as "10.1" or "a.b.c.d", is refused.
std::optional<Ipv4Bytes> parseIpv4Bytes(std::string_view text);

// Six groups of one or two hexadecimal digits, either case, joined by "-" (or by ":" when the text
// holds no "-"). A text with fewer or more groups, or a group that is not a number, is refused.
std::optional<MacBytes> parseMacBytes(std::string_view text);

// One MAC byte as the fields show it: two upper-case hexadecimal digits.
std::string formatMacByte(uint8_t byte);

// The six bytes as "%02X-%02X-%02X-%02X-%02X-%02X".
std::string formatMacText(const MacBytes& mac);

// The six bytes one "%02X" text each, in field order.
std::array<std::string, 6> macByteTexts(const MacBytes& mac);
