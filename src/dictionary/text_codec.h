// Byte-level text handling for word lists (the import and kmtool): recognising how a
// list is encoded and turning it into numbered lines of Unicode text, and back to UTF-8.
#pragma once

#include "base/text.h"

#include <cstddef>
#include <string>
#include <vector>

namespace wordlist {

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Cp936 };

const char* EncodingName(Encoding e);

// Byte-order marks decide first. Without one, text that is UTF-8 is UTF-8 (plain
// ASCII included), even with a few bad bytes among many good UTF-8 characters,
// unless its UTF-8 reading holds nothing a word list would (Chinese, IPA, accented
// Latin letters, typographic punctuation) while its code page 936 reading is clean
// Chinese; anything else is taken as code page 936.
Encoding DetectEncoding(const std::string& bytes);

// A code point that could not be decoded is kept in the text as kUndecodable + the
// offending byte (or code unit), so that the parser can report it with its line
// number instead of the decoder dropping or replacing it.
constexpr char32_t kUndecodable = lex::kUndecodableCodePoint;
inline bool IsUndecodable(char32_t c) { return c >= kUndecodable; }

// Code page 936 with undecodable markers (base/text).
using lex::DecodeCp936;
using lex::EncodeCp936;

struct TextLine {
    int number = 0;          // 1-based line number in the file
    std::u32string text;     // without its terminator
};

// "utf8", "utf16" (little-endian), "utf16be", "gbk" or "cp936"; false otherwise.
bool ParseEncodingName(const std::string& name, Encoding* out);

// Decodes the whole file (skipping the encoding's byte-order mark if it has one) and
// splits it at CR LF, LF or a lone CR. A trailing terminator does not start an extra
// empty line.
std::vector<TextLine> DecodeLines(const std::string& bytes, Encoding enc);

// The same one line at a time, so that a large file is decoded in steps and never
// held whole as Unicode text. The bytes must outlive the splitter.
class CLineSplitter {
public:
    CLineSplitter(const std::string& bytes, Encoding enc);
    // The next line; false at the end of the bytes.
    bool Next(TextLine& line);
    // Bytes consumed so far, for progress.
    size_t Offset() const { return m_pos; }

private:
    const std::string& m_bytes;
    Encoding m_enc;
    size_t m_pos = 0;
    int m_number = 0;
};

// Strict UTF-8 decoding of one string (used for command-line names and tables).
// Undecodable bytes become kUndecodable + byte.
std::u32string DecodeUtf8(const std::string& s);
std::string EncodeUtf8(const std::u32string& s);
// Appends one code point; an undecodable marker is written as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// "U+00E9" style name of a code point, for messages.
std::string CodePointName(char32_t c);

} // namespace wordlist
