// Native build of the code page 936 <-> UTF-8 conversions, through glibc's iconv
// ("CP936" is its name for the code page).
#include "base/text.h"

#include <iconv.h>

namespace lex {

namespace {

// Converts in, replacing what cannot be converted: a stray or unmappable input
// character (stepping one byte, or a whole UTF-8 sequence) gives `replacement`.
std::string Convert(const char* to, const char* from, const std::string& in, const char* replacement)
{
    std::string out;
    if (in.empty())
        return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[512];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (r != static_cast<size_t>(-1) || srcLeft == 0)
            continue;
        if (dst != buf)
            continue; // the buffer filled up; go on converting
        // An invalid, incomplete or unmappable character: skip it.
        size_t skip = 1;
        const unsigned char c = static_cast<unsigned char>(*src);
        if (std::string(from) == "UTF-8" && c >= 0xC2 && c <= 0xF4) {
            const size_t want = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            size_t k = 1;
            while (k < want && k < srcLeft && (static_cast<unsigned char>(src[k]) & 0xC0) == 0x80)
                ++k;
            skip = k;
        } else if (std::string(from) == "CP936" && c >= 0x81 && c <= 0xFE && srcLeft > 1
                   && static_cast<unsigned char>(src[1]) >= 0x40 && static_cast<unsigned char>(src[1]) <= 0xFE) {
            skip = 2;
        }
        src += skip;
        srcLeft -= skip;
        out += replacement;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string Cp936ToUtf8(const std::string& cp936)
{
    return Convert("UTF-8", "CP936", cp936, "\xEF\xBF\xBD");
}

std::string Utf8ToCp936(const std::string& utf8)
{
    return Convert("CP936", "UTF-8", utf8, "?");
}

} // namespace lex
