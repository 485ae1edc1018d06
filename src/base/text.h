// The one place where the program's code page 936 text meets the UTF-16 of the W
// functions. Conversions always name code page 936, never the system code page, so
// Chinese text is right on any Windows display language.
#pragma once

#include <string>

namespace lex {

constexpr unsigned kCodePage = 936;

std::wstring Widen(const std::string& cp936);
std::wstring Widen(const char* cp936);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16);

} // namespace lex
