// The character codes of the phonetic font "DFPhonetic". Dictionary phonetics are
// plain ASCII bytes; the banner turns them into U+0020..U+007E and the font draws an
// IPA symbol for each. This table is the one place that says which code shows which
// symbol: the font builder, the dictionary converter and the documentation follow it.
#pragma once

#include <cstddef>
#include <string>

namespace lex {

struct PhoneticCode {
    char code;        // the byte written in the dictionary (0x20..0x7E)
    char32_t symbol;  // the Unicode code point the font draws for it
};

// Every code that dictionaries may use, each with a different symbol. The field
// separator '/' and DrawText's mnemonic prefix '&' are never among them.
extern const PhoneticCode kPhoneticTable[];
extern const size_t kPhoneticTableSize;

// First and last code the font maps.
constexpr unsigned char kFirstFontCode = 0x20;
constexpr unsigned char kLastFontCode = 0x7E;

// The code point the font shows for a byte: the table's symbol, or, for a code the
// table does not use, the ASCII character itself (so a stray byte is still readable).
// 0 for bytes outside 0x20..0x7E, which the font does not map.
char32_t FontSymbolForCode(unsigned char code);

// Converts an IPA transcription to font codes. Besides the table's own symbols a few
// common stand-ins are taken: Latin g for the IPA script g, ASCII ':' and '\'' for the
// length and stress marks, and the Greek or mathematical look-alikes that Chinese
// input methods produce for the schwa, epsilon, alpha and esh. On the first
// character that has no code it returns false with *firstBad (if given) set to that
// character's index; codes then holds the conversion of the characters before it.
bool IpaToCodes(const std::u32string& ipa, std::string& codes, size_t* firstBad);

// Converts font codes back to IPA: each byte becomes the symbol the font shows for it,
// bytes outside 0x20..0x7E become U+FFFD.
std::u32string CodesToIpa(const std::string& codes);

// The same with UTF-8 text. Malformed UTF-8 counts as a character without a code;
// *firstBad is a character (code point) index, not a byte offset.
bool IpaUtf8ToCodes(const std::string& utf8, std::string& codes, size_t* firstBad);
std::string CodesToIpaUtf8(const std::string& codes);

} // namespace lex
