// INI-file access with the behaviour of the Windows private-profile functions, done
// in portable code so that names and values stay exact code page 936 bytes whatever
// the system code page is.
//
// Section and key names match without regard to ASCII letter case and surrounding
// blanks; values lose their surrounding blanks on reading. A missing file, section
// or key gives the caller's default. The first matching section and, inside it, the
// first matching key are the ones read and written. Lines starting with ';' are
// comments. Any line end (CR LF, LF, CR) is read; CR LF is written.
//
// A file starting with a UTF-16LE byte order mark is read and written as UTF-16LE, one
// starting with a UTF-8 byte order mark as UTF-8, each keeping its mark; any other file
// is code page 936. Callers always speak code page 936.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

enum class IniEncoding { Cp936, Utf8, Utf16Le };

// A settings file held in memory, for reading and writing several keys with one
// replacement of the file. Get and Set follow the rules of the functions above; a
// document saved after a series of Sets holds exactly the bytes the same series of
// WriteProfileString calls would have left.
class CIniDocument {
public:
    // Reads the file. A missing file gives an empty code page 936 document; false
    // (an empty document) when the file exists but cannot be read.
    bool Load(const std::string& path);

    std::string Get(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    bool Has(const std::string& section, const std::string& key) const;
    // False, changing nothing, for the names and values WriteProfileString refuses.
    bool Set(const std::string& section, const std::string& key, const std::string& value);

    IniEncoding Encoding() const { return m_encoding; }
    // The file's bytes, byte order mark included.
    std::string Bytes() const;
    // Replaces the file with Bytes() atomically; false when it cannot be written.
    bool Save(const std::string& path) const;

private:
    // Text in the file's own encoding as the lines hold it: UTF-8 for both Unicode forms.
    std::string ToText(const std::string& cp936) const;
    std::string FromText(const std::string& text) const;

    IniEncoding m_encoding = IniEncoding::Cp936;
    std::vector<std::string> m_lines;
};

} // namespace lex
