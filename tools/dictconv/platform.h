// The few things kmtool needs from the operating system: code page 936 conversion
// and files named in UTF-8. One implementation per platform: iconv on Linux, the code
// page functions on Windows; files go through the program's own file functions.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kmtool {

// Decodes code page 936 bytes. A byte that does not start a valid character is kept
// as kUndecodable + byte (see text_codec.h) and decoding goes on after it.
std::u32string DecodeCp936(const std::string& bytes);

// Encodes text in code page 936. When a character has no code there, returns false
// with *badIndex set to its index in text (out then holds the part before it).
bool EncodeCp936(const std::u32string& text, std::string& out, size_t* badIndex);

// Whole-file access by UTF-8 name (on Windows a name the program can use, one that
// code page 936 can write).
bool ReadFileBytes(const std::string& path, std::string& out);
// Writes through a temporary file in the same folder that is then renamed over the
// target, so an interrupted run never leaves half a dictionary behind. A read-only
// target is left alone.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// The command line as UTF-8 strings (on Windows taken from the wide command line so
// that Chinese file names survive any console code page).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes the console show the UTF-8 messages (Windows); nothing elsewhere.
void PrepareConsole();

} // namespace kmtool
