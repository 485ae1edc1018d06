// One dictionary entry: a non-empty line of up to three fields separated by '/'.
#pragma once

#include <string>

struct DictEntry {
    std::string word;     // field 0
    std::string phonetic; // field 1, in the character codes of the phonetic font
    std::string meaning;  // field 2
};

// Splits a line at '/'. Missing fields are empty, text after a third '/' is dropped and
// blanks are kept. Splitting by byte is right for code page 936: 0x2F is never part of
// a double-byte character.
DictEntry SplitDictEntry(const std::string& line);

// The entry as one line of UTF-8 text for other programs: the word, the phonetic in
// IPA in brackets (the symbols the phonetic font shows for its codes; a phonetic that
// is not made of font codes is taken as text) and the meaning, separated by blanks;
// empty fields are left out.
std::string EntryAsUtf8Text(const DictEntry& entry);
