// Native build of the code page 936 <-> UTF-8 conversions, through glibc's iconv
// ("CP936" is its name for the code page).
#include "base/text.h"

#include <cerrno>
#include <iconv.h>

namespace lex {

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // Converts as much as possible; returns the errno of the stop (0 when all went).
    int Convert(const char** in, size_t* inLeft, std::string& out)
    {
        char buf[256];
        while (*inLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            size_t r = iconv(m_cd, const_cast<char**>(in), inLeft, &dst, &dstLeft);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r == static_cast<size_t>(-1) && errno != E2BIG)
                return errno;
        }
        return 0;
    }
    void Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

std::u32string FromUtf32Le(const std::string& bytes)
{
    std::u32string out;
    out.reserve(bytes.size() / 4);
    for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
        const auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i + k])); };
        out += b(0) | (b(1) << 8) | (b(2) << 16) | (b(3) << 24);
    }
    return out;
}

std::string ToUtf32Le(const std::u32string& text)
{
    std::string out;
    out.reserve(text.size() * 4);
    for (char32_t c : text)
        for (int k = 0; k < 4; ++k)
            out += static_cast<char>((c >> (8 * k)) & 0xFF);
    return out;
}

} // namespace

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

std::u32string DecodeCp936(const std::string& bytes)
{
    static Iconv cd("UTF-32LE", "CP936");
    std::u32string out;
    if (!cd.Ok()) {
        for (unsigned char b : bytes)
            out += b < 0x80 ? char32_t(b) : kUndecodableCodePoint + b;
        return out;
    }
    cd.Reset();
    const char* in = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        std::string utf32;
        int err = cd.Convert(&in, &left, utf32);
        out += FromUtf32Le(utf32);
        if (err == 0)
            break;
        // An invalid or truncated sequence: keep its first byte as undecodable and
        // go on with the next one.
        out += kUndecodableCodePoint + static_cast<unsigned char>(*in);
        ++in;
        --left;
        cd.Reset();
    }
    return out;
}

bool EncodeCp936(const std::u32string& text, std::string& out, size_t* badIndex)
{
    static Iconv cd("CP936", "UTF-32LE");
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= kUndecodableCodePoint) {
            if (badIndex)
                *badIndex = i;
            return false;
        }
    }
    if (!cd.Ok()) {
        if (badIndex)
            *badIndex = 0;
        return false;
    }
    cd.Reset();
    const std::string utf32 = ToUtf32Le(text);
    const char* in = utf32.data();
    size_t left = utf32.size();
    if (cd.Convert(&in, &left, out) != 0) {
        if (badIndex)
            *badIndex = static_cast<size_t>(in - utf32.data()) / 4;
        return false;
    }
    return true;
}

} // namespace lex
