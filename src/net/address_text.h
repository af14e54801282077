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

// The one reader of MAC texts, wherever one comes in (the six fields, a client package, the registry): six groups
// (parseMacByte) all joined by "-" or all by ":". No blanks, signs or anything after the last group, so a text it
// takes can never add or change a command argument. Anything else is refused. What it reads is stored and handed
// on as formatMacText writes it.
std::optional<MacBytes> parseMacBytes(std::string_view text);
// One group of a MAC text, and what a MAC field holds: one or two hexadecimal digits, either case, nothing else.
std::optional<uint8_t> parseMacByte(std::string_view text);

// An IPv4 text that may be handed to the system's commands. Stricter than parseIpv4Bytes: no blanks, no signs,
// nothing after the last part, four decimal parts from 0 to 255 without leading zeros (the system would read
// "010" as octal and pin another host than the one shown).
bool isDottedIpv4Text(std::string_view text);

// A MAC address one host answers with: not all zeros (an unanswered entry, or nothing known), and not a
// group address (the lowest bit of the first byte, which broadcast has too). Pinning any other cuts the
// gateway off.
bool isHostMac(const MacBytes& mac);

// The bytes of a stored MAC text that may be pinned: a MAC text (parseMacBytes) of a host's address.
std::optional<MacBytes> pinnableMac(std::string_view text);

// The one writer of MAC texts: the six bytes as "%02X-%02X-%02X-%02X-%02X-%02X", the form every entry point
// stores and every command and message shows.
std::string formatMacText(const MacBytes& mac);

// One MAC byte as the fields show it: two upper-case hexadecimal digits.
std::string formatMacByte(uint8_t byte);

// The six bytes one "%02X" text each, in field order.
std::array<std::string, 6> macByteTexts(const MacBytes& mac);
