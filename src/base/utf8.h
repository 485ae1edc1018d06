// UTF-8 encoding of single code points, shared by everything that writes UTF-8 text
// (the phonetic table's UTF-8 forms, the dictionary converter, the font builder).
#pragma once

#include <string>

namespace lex {

// Appends c as UTF-8. Surrogates and values beyond U+10FFFF, which have no UTF-8
// form, are written as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

} // namespace lex
