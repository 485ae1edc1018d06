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

// UTF-16 code units [begin, end) of bytes (end - begin even); a dangling odd byte
// after them is appended as undecodable when dangling is set.
std::u32string DecodeUtf16(const std::string& bytes, size_t begin, size_t end, bool bigEndian, bool dangling)
{
    std::u32string out;
    const size_t units = (end - begin) / 2;
    const auto unit = [&](size_t k) -> char32_t {
        auto hi = static_cast<unsigned char>(bytes[begin + 2 * k + (bigEndian ? 0 : 1)]);
        auto lo = static_cast<unsigned char>(bytes[begin + 2 * k + (bigEndian ? 1 : 0)]);
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
    if (dangling)
        out += kUndecodable + static_cast<unsigned char>(bytes.back());
    return out;
}

size_t BomLength(const std::string& bytes, Encoding enc)
{
    const auto bom = [&](const char* mark, size_t n) -> size_t {
        return bytes.compare(0, n, mark, n) == 0 ? n : 0;
    };
    switch (enc) {
    case Encoding::Utf8:
    case Encoding::Utf8Bom: return bom("\xEF\xBB\xBF", 3);
    case Encoding::Utf16Le: return bom("\xFF\xFE", 2);
    case Encoding::Utf16Be: return bom("\xFE\xFF", 2);
    case Encoding::Cp936: return 0;
    }
    return 0;
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
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return Encoding::Utf8; // plain ASCII reads the same either way
    char32_t cp = 0;
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = Utf8SequenceAt(bytes, i, &cp);
        if (n > 1 && IsLikelyText(cp))
            return Encoding::Utf8;
        i += n ? n : 1;
    }
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
    std::vector<TextLine> lines;
    CLineSplitter splitter(bytes, enc);
    TextLine line;
    while (splitter.Next(line))
        lines.push_back(std::move(line));
    return lines;
}

CLineSplitter::CLineSplitter(const std::string& bytes, Encoding enc)
    : m_bytes(bytes), m_enc(enc), m_pos(BomLength(bytes, enc))
{
}

bool CLineSplitter::Next(TextLine& line)
{
    const size_t size = m_bytes.size();
    if (m_pos >= size)
        return false;
    line.number = ++m_number;
    if (m_enc == Encoding::Utf16Le || m_enc == Encoding::Utf16Be) {
        const bool be = m_enc == Encoding::Utf16Be;
        const auto unit = [&](size_t at) {
            return be ? (static_cast<unsigned char>(m_bytes[at]) << 8) | static_cast<unsigned char>(m_bytes[at + 1])
                      : (static_cast<unsigned char>(m_bytes[at + 1]) << 8) | static_cast<unsigned char>(m_bytes[at]);
        };
        size_t end = m_pos;
        while (end + 1 < size && unit(end) != '\r' && unit(end) != '\n')
            end += 2;
        if (end + 1 >= size) { // the last line, perhaps with a dangling odd byte
            line.text = DecodeUtf16(m_bytes, m_pos, end, be, end < size);
            m_pos = size;
            return true;
        }
        line.text = DecodeUtf16(m_bytes, m_pos, end, be, false);
        m_pos = end + 2;
        if (unit(end) == '\r' && m_pos + 1 < size && unit(m_pos) == '\n')
            m_pos += 2;
        return true;
    }
    // In UTF-8 and in code page 936 CR and LF are never part of another character, so
    // the bytes are split first and each line decoded on its own.
    size_t end = m_bytes.find_first_of("\r\n", m_pos);
    if (end == std::string::npos)
        end = size;
    const std::string raw = m_bytes.substr(m_pos, end - m_pos);
    line.text = m_enc == Encoding::Cp936 ? DecodeCp936(raw) : DecodeUtf8(raw);
    m_pos = end + (end < size ? 1 : 0);
    if (end < size && m_bytes[end] == '\r' && m_pos < size && m_bytes[m_pos] == '\n')
        ++m_pos;
    return true;
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
