#include "dictionary/text_codec.h"

#include "dictionary/phonetic_table.h"
#include "base/utf8.h"

#include <algorithm>
#include <cctype>

#include <cstdio>

namespace wordlist {

const char* EncodingName(Encoding e)
{
    switch (e) {
    case Encoding::Utf8: return "UTF-8";
    case Encoding::Utf8Bom: return "UTF-8 with BOM";
    case Encoding::Utf16Le: return "UTF-16 LE";
    case Encoding::Utf16Be: return "UTF-16 BE";
    case Encoding::Cp936: return "code page 936";
    }
    return "?";
}

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not one. Overlong
// forms, surrogates and values above U+10FFFF are invalid.
size_t Utf8SequenceAt(const std::string& s, size_t i, char32_t* cp)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) {
        *cp = c;
        return 1;
    }
    size_t len;
    char32_t v;
    char32_t min;
    if ((c & 0xE0) == 0xC0) { len = 2; v = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { len = 3; v = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { len = 4; v = c & 0x07; min = 0x10000; }
    else return 0;
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (b(i + k) & 0x3F);
    }
    if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return 0;
    *cp = v;
    return len;
}

// Text that is UTF-8 apart from a stray bad byte or two is still UTF-8: read as code
// page 936 all of its Chinese would turn into other, valid-looking characters, while
// the bad bytes are reported either way. In real code page 936 text most double-byte
// characters are not valid UTF-8, so it stays far below this ratio.
bool LooksLikeUtf8(const std::string& s)
{
    char32_t cp;
    size_t multibyte = 0;
    size_t invalid = 0;
    for (size_t i = 0; i < s.size();) {
        size_t n = Utf8SequenceAt(s, i, &cp);
        if (n == 0) {
            ++invalid;
            ++i;
        } else {
            multibyte += n > 1;
            i += n;
        }
    }
    return invalid == 0 || multibyte >= 4 * invalid;
}

bool IsChinese(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x3000 && c <= 0x303F) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

bool IsPhoneticSymbol(char32_t c)
{
    std::string code;
    return c >= 0x80 && lex::IpaToCodes(std::u32string(1, c), code, nullptr);
}

bool IsLikelyText(char32_t c)
{
    const bool latin1Letter = c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7;
    const bool punctuation = c >= 0x2010 && c <= 0x2027; // dashes, quotes, ellipsis
    return IsChinese(c) || IsPhoneticSymbol(c) || latin1Letter || punctuation;
}

std::u32string DecodeUtf16(const std::string& bytes, size_t start, bool bigEndian)
{
    std::u32string out;
    const size_t units = (bytes.size() - start) / 2;
    const auto unit = [&](size_t k) -> char32_t {
        auto hi = static_cast<unsigned char>(bytes[start + 2 * k + (bigEndian ? 0 : 1)]);
        auto lo = static_cast<unsigned char>(bytes[start + 2 * k + (bigEndian ? 1 : 0)]);
        return static_cast<char32_t>((hi << 8) | lo);
    };
    out.reserve(units);
    for (size_t k = 0; k < units; ++k) {
        char32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
            out += 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
            ++k;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += kUndecodable + u; // unpaired surrogate
        } else {
            out += u;
        }
    }
    if ((bytes.size() - start) % 2 != 0) // a dangling odd byte at the end
        out += kUndecodable + static_cast<unsigned char>(bytes.back());
    return out;
}

std::vector<TextLine> SplitLines(const std::u32string& text)
{
    std::vector<TextLine> lines;
    int number = 1;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != U'\r' && text[i] != U'\n')
            continue;
        lines.push_back({number++, text.substr(start, i - start)});
        if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back({number, text.substr(start)});
    return lines;
}

} // namespace

Encoding DetectEncoding(const std::string& bytes)
{
    const auto starts = [&](const char* bom, size_t n) { return bytes.compare(0, n, bom, n) == 0; };
    if (bytes.size() >= 3 && starts("\xEF\xBB\xBF", 3))
        return Encoding::Utf8Bom;
    if (bytes.size() >= 2 && starts("\xFF\xFE", 2))
        return Encoding::Utf16Le;
    if (bytes.size() >= 2 && starts("\xFE\xFF", 2))
        return Encoding::Utf16Be;
    if (!LooksLikeUtf8(bytes))
        return Encoding::Cp936;
    // Short code page 936 text can happen to be valid UTF-8 ("墨水" is C4 AB CB AE,
    // which UTF-8 reads as "īˮ"). A word list holds Chinese, IPA, accented Latin
    // letters or typographic punctuation; when its UTF-8 reading has none of them but
    // its code page 936 reading is clean Chinese, it is code page 936.
    const std::u32string utf8 = DecodeUtf8(bytes);
    if (std::any_of(utf8.begin(), utf8.end(), IsLikelyText))
        return Encoding::Utf8;
    const std::u32string cp936 = DecodeCp936(bytes);
    if (std::none_of(cp936.begin(), cp936.end(), IsUndecodable) && std::any_of(cp936.begin(), cp936.end(), IsChinese))
        return Encoding::Cp936;
    return Encoding::Utf8;
}

bool ParseEncodingName(const std::string& name, Encoding* out)
{
    std::string n;
    for (char c : name)
        if (c != '-' && c != '_')
            n += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (n == "utf8") *out = Encoding::Utf8;
    else if (n == "utf16" || n == "utf16le") *out = Encoding::Utf16Le;
    else if (n == "utf16be") *out = Encoding::Utf16Be;
    else if (n == "gbk" || n == "cp936" || n == "936") *out = Encoding::Cp936;
    else return false;
    return true;
}

std::vector<TextLine> DecodeLines(const std::string& bytes, Encoding enc)
{
    const auto bom = [&](const char* mark, size_t n) -> size_t {
        return bytes.compare(0, n, mark, n) == 0 ? n : 0;
    };
    switch (enc) {
    case Encoding::Utf8:
    case Encoding::Utf8Bom:
        return SplitLines(DecodeUtf8(bytes.substr(bom("\xEF\xBB\xBF", 3))));
    case Encoding::Utf16Le:
        return SplitLines(DecodeUtf16(bytes, bom("\xFF\xFE", 2), false));
    case Encoding::Utf16Be:
        return SplitLines(DecodeUtf16(bytes, bom("\xFE\xFF", 2), true));
    case Encoding::Cp936:
        // CR and LF never occur inside a double-byte character of code page 936,
        // so decoding the whole file and then splitting gives the same lines.
        return SplitLines(DecodeCp936(bytes));
    }
    return {};
}

std::u32string DecodeUtf8(const std::string& s)
{
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t cp;
        size_t n = Utf8SequenceAt(s, i, &cp);
        if (n == 0) {
            out += kUndecodable + static_cast<unsigned char>(s[i]);
            ++i;
        } else {
            out += cp;
            i += n;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c)
{
    lex::AppendUtf8(out, IsUndecodable(c) ? char32_t(0xFFFD) : c);
}

std::string EncodeUtf8(const std::u32string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s)
        AppendUtf8(out, c);
    return out;
}

std::string CodePointName(char32_t c)
{
    char buf[32];
    if (IsUndecodable(c))
        std::snprintf(buf, sizeof buf, "undecodable 0x%02X", static_cast<unsigned>(c - kUndecodable) & 0xFFFFu);
    else
        std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

} // namespace wordlist
