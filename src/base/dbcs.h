// Walking code page 936 text one character at a time. A double-byte character is a
// lead byte 0x81-0xFE followed by a trail byte 0x40-0xFE; the trail range holds '\\'
// and the ASCII letters, so byte-wise searching or case mapping must skip it.
#pragma once

#include <cstddef>
#include <string>

namespace lex {

inline bool IsCp936LeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
inline bool IsCp936TrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE; }

// Bytes taken by the character starting at pos: 2 for a lead byte with a valid
// trail byte after it, otherwise 1 (a stray lead byte stands on its own).
inline size_t Cp936CharLength(const std::string& s, size_t pos)
{
    if (pos + 1 < s.size() && IsCp936LeadByte(static_cast<unsigned char>(s[pos]))
        && IsCp936TrailByte(static_cast<unsigned char>(s[pos + 1])))
        return 2;
    return 1;
}

} // namespace lex
