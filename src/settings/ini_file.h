// INI-file access with the behaviour of the Windows private-profile functions, done
// in portable code so that names and values stay exact code page 936 bytes whatever
// the system code page is.
//
// Section and key names match without regard to ASCII letter case and surrounding
// blanks; values lose their surrounding blanks on reading. A missing file, section
// or key gives the caller's default. The first matching section and, inside it, the
// first matching key are the ones read and written. Lines starting with ';' are
// comments. Any line end (CR LF, LF, CR) is read; CR LF is written.
#pragma once

#include <cstddef>
#include <string>

// <windows.h> maps these names onto its own functions by macro. Windows code should
// go through CSettings rather than include this header; if it must, include this
// header after <windows.h>.
#undef GetProfileString
#undef GetProfileInt
#undef WriteProfileString

namespace lex {

// Longest value a read returns: the fixed 256-byte buffer of the file format's
// readers, less the terminating zero.
constexpr size_t kProfileValueMax = 255;

// The value, or defaultValue when absent; cut to kProfileValueMax bytes without
// splitting a double-byte character (the default is cut the same way).
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, const std::string& path);

// The value read as decimal text (blanks, sign, digits up to the first other
// character; text that is not a number gives 0). An absent or empty value gives
// defaultValue.
int GetProfileInt(const std::string& section, const std::string& key, int defaultValue,
                  const std::string& path);

// Sets key = value, creating the file, section or key as needed. An existing key is
// replaced on its own line; a new key goes after the last line of its section, a new
// section at the end of the file; every other line is kept. The file is replaced
// atomically. Returns false, leaving the file untouched, when it is read-only or
// cannot be read, or when the text would not survive a round trip: a value holding
// CR or LF, a key holding '=' or starting with '[' or ';', a section name holding ']',
// or an empty name.
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path);

} // namespace lex
