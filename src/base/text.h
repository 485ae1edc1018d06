// The one place where the program's code page 936 text meets the UTF-16 of the W
// functions. Conversions always name code page 936, never the system code page, so
// Chinese text is right on any Windows display language.
// Cp936ToUtf8 and Utf8ToCp936 are the exception: they exist in the native build too.
#pragma once

#include <cstddef>
#include <string>

namespace lex {

constexpr unsigned kCodePage = 936;

std::wstring Widen(const std::string& cp936);
std::wstring Widen(const char* cp936);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16);
// The same, but false when a character has no code in code page 936 (no look-alike is
// substituted): for names that must be read back exactly, such as file names.
bool NarrowExact(const std::wstring& utf16, std::string* out);

// Code page 936 and UTF-8, for files kept in UTF-8 or UTF-16 (these two are also
// built natively). A character the other side has no form for becomes '?' in code
// page 936 and U+FFFD in UTF-8; a stray byte becomes one such character.
std::string Cp936ToUtf8(const std::string& cp936);
std::string Utf8ToCp936(const std::string& utf8);

// Code page 936 one code point at a time, for converters that must say which character
// failed (also built natively). A byte that does not start a valid character becomes
// kUndecodableCodePoint + that byte, and decoding goes on after it.
constexpr char32_t kUndecodableCodePoint = 0x110000;
std::u32string DecodeCp936(const std::string& bytes);
// False when a character has no code in code page 936 (or is an undecodable marker),
// with *badIndex (if given) set to its index in text; out then holds the part before it.
bool EncodeCp936(const std::u32string& text, std::string& out, size_t* badIndex);

} // namespace lex
