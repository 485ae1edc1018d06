// The program folder: where the settings file, the dictionaries and the phonetic font
// are looked for. Built once at start-up from the executable's path.
#pragma once

#include <string>

namespace lex {

// The executable's expected file name; it is cut out of the upper-cased path.
constexpr char kExeFileName[] = "LEXORIN.EXE";
// Relative to the program folder.
constexpr char kSettingsFileName[] = "Lexorin.ini";
constexpr char kDictionaryFolder[] = "Dictionary\\";
constexpr char kPhoneticFontFile[] = "Fonts\\DFHGWPRN.TTF";
// Face name of the font in kPhoneticFontFile.
constexpr char kPhoneticFaceName[] = "DFPhonetic";

// Upper-cases ASCII letters of a code page 936 path, leaving double-byte characters
// whole (their trail byte may be a lower-case letter).
std::string UpperCaseCp936(const std::string& text);

// The executable's path upper-cased with every "LEXORIN.EXE" removed (one pass, left
// to right, matching only at character starts), which leaves the folder with its
// trailing backslash. An executable under another name keeps its full path, so files
// looked for beside it will not be found.
std::string BuildProgramFolder(const std::string& exePathCp936);

} // namespace lex
