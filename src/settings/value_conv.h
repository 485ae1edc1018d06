// Text forms of the values kept in the settings file. The readers follow the C
// runtime's atoi and strtoul(…, 16) exactly as the file format has always been read,
// except that out-of-range numbers saturate instead of being undefined.
#pragma once

#include <cstdint>
#include <string>

namespace lex {

// atoi: optional white space and sign, then decimal digits up to the first other
// character; no digits gives 0. Values beyond int saturate at INT_MIN / INT_MAX.
int ParseDecimal(const std::string& text);

// A flag is on when its decimal value is non-zero ("1", "+2", "-1"; not "", "x", "0").
bool ParseFlag(const std::string& text);

// strtoul base 16: optional white space and sign, optional 0x / 0X, hexadecimal
// digits of either case up to the first other character; no digits gives 0, a value
// beyond 32 bits gives 0xFFFFFFFF, a minus sign negates modulo 2^32.
uint32_t ParseColor(const std::string& text);

// Lower-case hexadecimal without prefix or leading zeros: 0, ff, ff0000, ffffff.
std::string FormatColor(uint32_t color);

std::string FormatDecimal(int value);

// "1" or "0".
std::string FormatFlag(bool on);

} // namespace lex
