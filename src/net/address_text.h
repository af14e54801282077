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

// Texts that may be handed to the system's commands. Stricter than the readers above: no blanks, no signs,
// nothing after the last part, so a stored or packaged text can never add or change a command argument.
// An IPv4 text has four decimal parts from 0 to 255 without leading zeros (the system would read "010" as
// octal and pin another host than the one shown).
bool isDottedIpv4Text(std::string_view text);
// Six groups of one or two hexadecimal digits, either case, all joined by "-" or all by ":".
bool isMacText(std::string_view text);

// A MAC address one host answers with: not all zeros (an unanswered entry, or nothing known), and not a
// group address (the lowest bit of the first byte, which broadcast has too). Pinning any other cuts the
// gateway off.
bool isHostMac(const MacBytes& mac);

// The bytes of a stored MAC text that may be pinned: a command text (isMacText) of a host's address.
std::optional<MacBytes> pinnableMac(std::string_view text);

// One MAC byte as the fields show it: two upper-case hexadecimal digits.
std::string formatMacByte(uint8_t byte);

// The six bytes as "%02X-%02X-%02X-%02X-%02X-%02X".
std::string formatMacText(const MacBytes& mac);

// The six bytes one "%02X" text each, in field order.
std::array<std::string, 6> macByteTexts(const MacBytes& mac);
