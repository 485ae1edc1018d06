// UTF-8 encoding of single code points, shared by everything that writes UTF-8 text
// (the phonetic table's UTF-8 forms, the dictionary converter, the font builder).
#pragma once

#include <string>

namespace lex {

// Appends c as UTF-8. Surrogates and values beyond U+10FFFF, which have no UTF-8
// form, are written as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// UTF-16LE bytes (no byte order mark) as UTF-8. A surrogate without its partner keeps
// its value in the three-byte form, so that Utf8ToUtf16Le gives the same bytes back;
// an odd last byte is dropped.
std::string Utf16LeToUtf8(const std::string& utf16le);

// The reverse: UTF-8 as UTF-16LE bytes. A byte that starts no valid sequence becomes
// U+FFFD.
std::string Utf8ToUtf16Le(const std::string& utf8);

} // namespace lex
