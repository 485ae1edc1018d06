// Reading and writing TrueType (sfnt) font files: the table directory and checksums,
// and the few tables the phonetic font builder rewrites (cmap, name, post, glyf/loca).
// Every read is bounds-checked; a malformed font is reported, never trusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fontbuild {

using Bytes = std::vector<uint8_t>;

uint32_t Tag(const char (&name)[5]);
std::string TagName(uint32_t tag);

// Big-endian access. The readers return false (and leave the value alone) when the
// field lies outside the buffer.
bool Get16(const Bytes& b, size_t off, uint16_t& v);
bool Get32(const Bytes& b, size_t off, uint32_t& v);
void Put16(Bytes& b, size_t off, uint16_t v);
void Put32(Bytes& b, size_t off, uint32_t v);
void Append16(Bytes& b, uint16_t v);
void Append32(Bytes& b, uint32_t v);

// Sum of the big-endian 32-bit words, the data padded with zeros to a multiple of 4.
uint32_t Checksum(const uint8_t* data, size_t size);

struct Table {
    uint32_t tag = 0;
    Bytes data;
};

// The tables of a font file, in directory order.
struct Sfnt {
    uint32_t version = 0;
    std::vector<Table> tables;

    const Bytes* Find(uint32_t tag) const;
};

// Splits a single-font TrueType file into its tables. Collections and CFF-based
// OpenType fonts are refused: the builder works on 'glyf' outlines.
bool ParseSfnt(const Bytes& file, Sfnt& font, std::string& error);

// Writes the tables sorted by tag, each 4-byte aligned and zero-padded, with their
// checksums and head.checkSumAdjustment filled in.
Bytes WriteSfnt(const Sfnt& font);

// Checks what WriteSfnt promises: directory bounds and alignment, every table's
// checksum, and the whole-file checksum that head.checkSumAdjustment balances.
bool VerifySfntChecksums(const Bytes& file, std::string& error);

// Unicode character map of the best Unicode subtable (format 4 or 12 of platform 3
// encoding 10 or 1, or of platform 0).
bool ReadUnicodeCmap(const Bytes& cmap, std::map<uint32_t, uint16_t>& out, std::string& error);

// A cmap table with one format 4 subtable, listed for platform 0 encoding 3 and for
// platform 3 encoding 1 (Windows Unicode BMP).
Bytes BuildCmap(const std::map<uint16_t, uint16_t>& map);

struct NameRecord {
    uint16_t platform = 3;
    uint16_t encoding = 1;
    uint16_t language = 0x409;
    uint16_t nameId = 0;
    Bytes raw; // as stored: UTF-16BE for platforms 0 and 3
};

bool ReadNames(const Bytes& name, std::vector<NameRecord>& out, std::string& error);
Bytes BuildNameTable(std::vector<NameRecord> records);

// UTF-8 <-> the UTF-16BE of Unicode and Windows name records.
Bytes ToUtf16Be(const std::string& utf8);
std::string FromUtf16Be(const Bytes& raw);

// The text of a Windows (platform 3, encoding 1, US English) name, or "" if absent.
std::string WindowsName(const std::vector<NameRecord>& records, uint16_t nameId);

// Glyph outlines addressed through 'loca'.
class GlyphTable {
public:
    bool Load(const Sfnt& font, std::string& error);
    uint16_t Count() const { return m_count; }
    // The glyph's bytes in 'glyf'; empty for a glyph without outline.
    Bytes Glyph(uint16_t id) const;

private:
    const Bytes* m_glyf = nullptr;
    std::vector<uint32_t> m_offsets; // Count() + 1 entries
    uint16_t m_count = 0;
};

// The glyphs a composite glyph refers to; empty for a simple glyph. False when the
// composite description runs past the glyph's end.
bool CompositeComponents(const Bytes& glyph, std::vector<uint16_t>& components);

// Rewrites the component glyph ids of a composite glyph through newId (old -> new).
bool RemapComposite(Bytes& glyph, const std::map<uint16_t, uint16_t>& newId);

// Glyph names from a version 2.0 'post' table (the 258 standard Macintosh names and
// the table's own). Empty result for versions without names.
bool ReadGlyphNames(const Bytes& post, uint16_t numGlyphs, std::vector<std::string>& names,
                    std::string& error);

} // namespace fontbuild
