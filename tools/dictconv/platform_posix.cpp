// Linux and other POSIX systems: glibc iconv for code page 936 ("CP936" is its name
// for the Windows code page, 0x80 being the euro sign as there).
#include "platform.h"
#include "text_codec.h"

#include "base/fileio.h"

#include <cerrno>
#include <iconv.h>

namespace kmtool {

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

std::u32string DecodeCp936(const std::string& bytes)
{
    static Iconv cd("UTF-32LE", "CP936");
    std::u32string out;
    if (!cd.Ok()) {
        for (unsigned char b : bytes)
            out += b < 0x80 ? char32_t(b) : kUndecodable + b;
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
        out += kUndecodable + static_cast<unsigned char>(*in);
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
        if (IsUndecodable(text[i])) {
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

// File names are bytes here, as the portable file functions take them.
bool ReadFileBytes(const std::string& path, std::string& out)
{
    return lex::ReadWholeFile(path, out);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    return lex::ReplaceFileContents(path, bytes);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareConsole() {}

} // namespace kmtool
