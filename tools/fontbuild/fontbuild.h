// Builds the phonetic font DFPhonetic from a TrueType font that has IPA glyphs: the
// codes 0x20..0x7E are mapped to the glyphs of the symbols the phonetic code table
// assigns them, the glyphs nothing reaches any more are dropped, and the family gets
// its own name, as the source font's licence requires for a modified version.
#pragma once

#include "sfnt.h"

#include <string>
#include <vector>

namespace fontbuild {

struct PhoneticFontOptions {
    std::string family = "DFPhonetic";
    // What the code 0x20 + i shows, for i in 0..94 (from the phonetic code table).
    std::vector<char32_t> symbols;
};

// The symbols of the phonetic code table, in code order from 0x20.
std::vector<char32_t> PhoneticTableSymbols();

// Names that the licence reserves for the original, read from a copyright notice such
// as 'with Reserved Font Names "Charis" and "SIL".'
std::vector<std::string> ReservedFontNames(const std::string& copyright);

// Builds the font. Fails (with a reason) if the source lacks a glyph for one of the
// symbols, is malformed, or if the new family name would use a Reserved Font Name.
bool BuildPhoneticFont(const Bytes& source, const PhoneticFontOptions& options, Bytes& out,
                       std::string& error);

// The licence file that ships beside the font: a note of origin, then the copyright
// notices and the licence text, taken from a Debian machine-readable copyright file.
// sourceDescription names the original (family, version, file, package); fontFile is
// the built font's file name. Lines end in CR LF, for Windows editors.
bool MakeLicenceText(const std::string& debianCopyright, const std::string& sourceDescription,
                     const std::string& family, const std::string& fontFile, std::string& out,
                     std::string& error);

} // namespace fontbuild
