#include "sys/number_text.h"

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<int32_t> readDecimal(std::string_view text, DecimalOverflow overflow) {
    size_t at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    const size_t firstDigit = at;
    // The magnitude stops growing once it is past every bound, so any number of digits is read safely.
    constexpr int64_t kPastEveryBound = int64_t{INT32_MAX} + 2;
    int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (magnitude < kPastEveryBound)
            magnitude = magnitude * 10 + (text[at] - '0');
    }
    if (at == firstDigit)
        return std::nullopt;
    const int64_t value = negative ? -magnitude : magnitude;
    if (value >= INT32_MIN && value <= INT32_MAX)
        return static_cast<int32_t>(value);
    if (overflow == DecimalOverflow::Refuse)
        return std::nullopt;
    return negative ? INT32_MIN : INT32_MAX;
}
