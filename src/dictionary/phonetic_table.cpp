#include "dictionary/phonetic_table.h"
#include "base/utf8.h"

namespace lex {

// Lower-case letters that are IPA symbols keep their code. The other symbols sit on
// the codes SAMPA gives them where SAMPA has a one-character form (@ V { A Q O U I E
// 3 S Z T D N W ? = ~ 6), and on codes named after the sound otherwise (C for "ch",
// J for "judge", R for the turned r, F for the flap, L for the dark l). The
// r-coloured vowels share a keyboard key with their plain vowel: schwa is '@'
// (shift-2) and its r-coloured form '2'; open-mid central is '3' and its r-coloured
// form '#' (shift-3). Stress and length marks use the ASCII characters they look like,
// except the secondary stress, which is '%' so that ',' stays free to separate
// variant pronunciations.
const PhoneticCode kPhoneticTable[] = {
    // Punctuation that transcriptions use as it is.
    {' ', 0x0020},
    {'(', 0x0028}, // optional sound: British r in /ˈwɔːtə(r)/
    {')', 0x0029},
    {',', 0x002C}, // between variants
    {'-', 0x002D}, // partial transcription: -ɪŋ
    {'.', 0x002E}, // syllable break
    {';', 0x003B}, // between variants
    {'[', 0x005B}, // narrow-transcription brackets
    {']', 0x005D},
    // Letters that are IPA symbols themselves.
    {'a', 0x0061},
    {'b', 0x0062},
    {'c', 0x0063},
    {'d', 0x0064},
    {'e', 0x0065},
    {'f', 0x0066},
    {'g', 0x0261}, // ɡ: IPA's own g
    {'h', 0x0068},
    {'i', 0x0069},
    {'j', 0x006A},
    {'k', 0x006B},
    {'l', 0x006C},
    {'m', 0x006D},
    {'n', 0x006E},
    {'o', 0x006F},
    {'p', 0x0070},
    {'q', 0x0071},
    {'r', 0x0072},
    {'s', 0x0073},
    {'t', 0x0074},
    {'u', 0x0075},
    {'v', 0x0076},
    {'w', 0x0077},
    {'x', 0x0078},
    {'y', 0x0079},
    {'z', 0x007A},
    // Vowels.
    {'@', 0x0259}, // ə schwa
    {'2', 0x025A}, // ɚ r-coloured schwa
    {'3', 0x025C}, // ɜ open-mid central
    {'#', 0x025D}, // ɝ r-coloured open-mid central
    {'V', 0x028C}, // ʌ
    {'{', 0x00E6}, // æ
    {'A', 0x0251}, // ɑ
    {'Q', 0x0252}, // ɒ
    {'O', 0x0254}, // ɔ
    {'U', 0x028A}, // ʊ
    {'I', 0x026A}, // ɪ
    {'E', 0x025B}, // ɛ
    {'6', 0x0250}, // ɐ
    {'1', 0x1D7B}, // ᵻ barred small capital I
    // Consonants.
    {'S', 0x0283}, // ʃ
    {'Z', 0x0292}, // ʒ
    {'T', 0x03B8}, // θ
    {'D', 0x00F0}, // ð
    {'N', 0x014B}, // ŋ
    {'C', 0x02A7}, // ʧ
    {'J', 0x02A4}, // ʤ
    {'R', 0x0279}, // ɹ
    {'F', 0x027E}, // ɾ
    {'L', 0x026B}, // ɫ
    {'W', 0x028D}, // ʍ
    {'?', 0x0294}, // ʔ
    // Stress, length and diacritics.
    {'\'', 0x02C8}, // ˈ primary stress
    {'%', 0x02CC},  // ˌ secondary stress
    {':', 0x02D0},  // ː length mark
    {'=', 0x0329},  // combining vertical line below: syllabic consonant
    {'~', 0x0303},  // combining tilde: nasal vowel
};

const size_t kPhoneticTableSize = sizeof(kPhoneticTable) / sizeof(kPhoneticTable[0]);

namespace {

// Characters people type in place of an IPA symbol, and the code they mean.
struct StandIn {
    char32_t ch;
    char code;
};

const StandIn kStandIns[] = {
    {0x0067, 'g'},  // Latin g for IPA ɡ
    {0x003A, ':'},  // ASCII colon for ː
    {0x0027, '\''}, // ASCII apostrophe for ˈ
    {0x04D9, '@'},  // Cyrillic schwa ә
    {0x03B5, 'E'},  // Greek epsilon ε
    {0x03B1, 'A'},  // Greek alpha α
    {0x222B, 'S'},  // integral sign ∫
};

bool CodeForSymbol(char32_t ch, char& code)
{
    for (const PhoneticCode& p : kPhoneticTable) {
        if (p.symbol == ch) {
            code = p.code;
            return true;
        }
    }
    for (const StandIn& s : kStandIns) {
        if (s.ch == ch) {
            code = s.code;
            return true;
        }
    }
    return false;
}

// Decodes one UTF-8 sequence at s[i]; false for a malformed, overlong or surrogate
// sequence.
bool DecodeUtf8(const std::string& s, size_t& i, char32_t& out)
{
    unsigned char b = static_cast<unsigned char>(s[i]);
    int extra;
    char32_t min;
    if (b < 0x80) {
        out = b;
        ++i;
        return true;
    } else if ((b & 0xE0) == 0xC0) {
        extra = 1;
        min = 0x80;
        out = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        min = 0x800;
        out = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        min = 0x10000;
        out = b & 0x07;
    } else {
        return false;
    }
    if (s.size() - i <= static_cast<size_t>(extra))
        return false;
    for (int k = 1; k <= extra; ++k) {
        unsigned char c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80)
            return false;
        out = (out << 6) | (c & 0x3F);
    }
    if (out < min || out > 0x10FFFF || (out >= 0xD800 && out <= 0xDFFF))
        return false;
    i += static_cast<size_t>(extra) + 1;
    return true;
}

} // namespace

char32_t FontSymbolForCode(unsigned char code)
{
    if (code < kFirstFontCode || code > kLastFontCode)
        return 0;
    for (const PhoneticCode& p : kPhoneticTable) {
        if (static_cast<unsigned char>(p.code) == code)
            return p.symbol;
    }
    return code;
}

bool IpaToCodes(const std::u32string& ipa, std::string& codes, size_t* firstBad)
{
    codes.clear();
    codes.reserve(ipa.size());
    for (size_t i = 0; i < ipa.size(); ++i) {
        char code;
        if (!CodeForSymbol(ipa[i], code)) {
            if (firstBad)
                *firstBad = i;
            return false;
        }
        codes += code;
    }
    return true;
}

std::u32string CodesToIpa(const std::string& codes)
{
    std::u32string out;
    out.reserve(codes.size());
    for (char c : codes) {
        char32_t sym = FontSymbolForCode(static_cast<unsigned char>(c));
        out += sym ? sym : char32_t(0xFFFD);
    }
    return out;
}

bool IpaUtf8ToCodes(const std::string& utf8, std::string& codes, size_t* firstBad)
{
    codes.clear();
    size_t i = 0;
    size_t index = 0;
    while (i < utf8.size()) {
        char32_t ch;
        char code;
        if (!DecodeUtf8(utf8, i, ch) || !CodeForSymbol(ch, code)) {
            if (firstBad)
                *firstBad = index;
            return false;
        }
        codes += code;
        ++index;
    }
    return true;
}

std::string CodesToIpaUtf8(const std::string& codes)
{
    std::string out;
    for (char32_t c : CodesToIpa(codes))
        lex::AppendUtf8(out, c);
    return out;
}

} // namespace lex
