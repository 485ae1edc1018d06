#include "settings/value_conv.h"

#include <climits>
#include <cstdio>

namespace lex {

namespace {

// isspace in the C locale, without depending on the current locale.
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Skips white space and reads an optional sign; returns true for a minus.
bool SkipBlanksAndSign(const std::string& s, size_t& i)
{
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    return negative;
}

} // namespace

int ParseDecimal(const std::string& text)
{
    size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
    // Accumulate the magnitude in 64 bits and stop growing once it is out of range,
    // so a long digit run cannot overflow.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (magnitude > limit)
        magnitude = limit;
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool ParseFlag(const std::string& text)
{
    return ParseDecimal(text) != 0;
}

uint32_t ParseColor(const std::string& text)
{
    size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
    // The prefix only counts when a digit follows; "0xg" is the number 0 then "xg".
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')
        && HexDigitValue(text[i + 2]) >= 0)
        i += 2;
    uint64_t value = 0;
    bool overflow = false;
    for (int d; i < text.size() && (d = HexDigitValue(text[i])) >= 0; ++i) {
        value = value * 16 + static_cast<uint64_t>(d);
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull; // keeps the accumulator bounded for long runs
        }
    }
    if (overflow)
        return 0xFFFFFFFFu;
    const uint32_t result = static_cast<uint32_t>(value);
    return negative ? 0u - result : result;
}

std::string FormatColor(uint32_t color)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(color));
    return buf;
}

std::string FormatDecimal(int value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", value);
    return buf;
}

std::string FormatFlag(bool on)
{
    return on ? "1" : "0";
}

} // namespace lex
