#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

// Characters and numbers as the program's readers take them out of text, the same for the configuration text,
// the window's fields and the address texts.

// The blanks "%d" skips: space, tab, line feed, vertical tab, form feed, carriage return.
bool isBlank(char c);

// 0 to 15 for a hexadecimal digit of either case; -1 for any other character.
int hexDigitValue(char c);

// What readDecimal gives for a number beyond the 32-bit signed range.
enum class DecimalOverflow {
    Clamp,   // the nearest bound, INT32_MAX or INT32_MIN
    Refuse,  // no number
};

// The decimal number at the start of the text, read as "%d" would: blanks skipped, an optional sign, then
// digits (leading zeros stay decimal) up to the first non-digit. None without a digit after the sign.
std::optional<int32_t> readDecimal(std::string_view text, DecimalOverflow overflow);
