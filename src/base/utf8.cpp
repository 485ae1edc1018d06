#include "base/utf8.h"

namespace lex {

void AppendUtf8(std::string& out, char32_t c)
{
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

void AppendThreeBytes(std::string& out, char32_t c)
{
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

void AppendUtf16Le(std::string& out, char32_t unit)
{
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>((unit >> 8) & 0xFF);
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

std::string Utf16LeToUtf8(const std::string& utf16le)
{
    std::string out;
    out.reserve(utf16le.size());
    const size_t units = utf16le.size() / 2;
    auto unitAt = [&](size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(utf16le[2 * i])
                                     | (static_cast<unsigned char>(utf16le[2 * i + 1]) << 8));
    };
    for (size_t i = 0; i < units; ++i) {
        const char32_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF)
            AppendThreeBytes(out, u);
        else
            AppendUtf8(out, u);
    }
    return out;
}

std::string Utf8ToUtf16Le(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size() * 2);
    size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t length = 0;
        char32_t value = 0;
        if (c < 0x80) {
            length = 1;
            value = c;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            value = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            value = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            value = c & 0x07;
        }
        bool valid = length > 0 && i + length <= utf8.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const unsigned char t = static_cast<unsigned char>(utf8[i + k]);
            valid = IsContinuation(t);
            value = (value << 6) | (t & 0x3F);
        }
        // Over-long forms and values beyond U+10FFFF are not UTF-8; a lone surrogate's
        // three-byte form is accepted, as Utf16LeToUtf8 writes it.
        if (valid && ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF))))
            valid = false;
        if (!valid) {
            AppendUtf16Le(out, 0xFFFD);
            ++i;
            continue;
        }
        if (value >= 0x10000) {
            value -= 0x10000;
            AppendUtf16Le(out, 0xD800 + (value >> 10));
            AppendUtf16Le(out, 0xDC00 + (value & 0x3FF));
        } else {
            AppendUtf16Le(out, value);
        }
        i += length;
    }
    return out;
}

} // namespace lex
