// The few things kmtool needs from the operating system beyond the portable core:
// files named in UTF-8 and the console. One implementation per platform: POSIX files
// on Linux, wide-character file names on Windows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dictionary/text_codec.h"

namespace kmtool {

// kmtool is a command line over the word-list core of src/dictionary.
using namespace wordlist;

// Whole-file access by UTF-8 name.
bool ReadFileBytes(const std::string& path, std::string& out);
// Writes through a temporary file in the same folder that is then renamed over the
// target, so an interrupted run never leaves half a dictionary behind.
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// The command line as UTF-8 strings (on Windows taken from the wide command line so
// that Chinese file names survive any console code page).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes the console show the UTF-8 messages (Windows); nothing elsewhere.
void PrepareConsole();

} // namespace kmtool
