#include "sfnt.h"
#include "base/utf8.h"

#include <algorithm>
#include <set>

namespace fontbuild {

uint32_t Tag(const char (&name)[5])
{
    return (uint32_t(uint8_t(name[0])) << 24) | (uint32_t(uint8_t(name[1])) << 16) |
           (uint32_t(uint8_t(name[2])) << 8) | uint32_t(uint8_t(name[3]));
}

std::string TagName(uint32_t tag)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((tag >> shift) & 0xFF);
        s += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return s;
}

bool Get16(const Bytes& b, size_t off, uint16_t& v)
{
    if (off > b.size() || b.size() - off < 2)
        return false;
    v = static_cast<uint16_t>((b[off] << 8) | b[off + 1]);
    return true;
}

bool Get32(const Bytes& b, size_t off, uint32_t& v)
{
    if (off > b.size() || b.size() - off < 4)
        return false;
    v = (uint32_t(b[off]) << 24) | (uint32_t(b[off + 1]) << 16) | (uint32_t(b[off + 2]) << 8) |
        uint32_t(b[off + 3]);
    return true;
}

void Put16(Bytes& b, size_t off, uint16_t v)
{
    b.at(off + 1) = static_cast<uint8_t>(v);
    b[off] = static_cast<uint8_t>(v >> 8);
}

void Put32(Bytes& b, size_t off, uint32_t v)
{
    b.at(off + 3) = static_cast<uint8_t>(v);
    b[off] = static_cast<uint8_t>(v >> 24);
    b[off + 1] = static_cast<uint8_t>(v >> 16);
    b[off + 2] = static_cast<uint8_t>(v >> 8);
}

void Append16(Bytes& b, uint16_t v)
{
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

void Append32(Bytes& b, uint32_t v)
{
    Append16(b, static_cast<uint16_t>(v >> 16));
    Append16(b, static_cast<uint16_t>(v));
}

uint32_t Checksum(const uint8_t* data, size_t size)
{
    uint32_t sum = 0;
    size_t i = 0;
    for (; i + 4 <= size; i += 4)
        sum += (uint32_t(data[i]) << 24) | (uint32_t(data[i + 1]) << 16) | (uint32_t(data[i + 2]) << 8) |
               uint32_t(data[i + 3]);
    uint32_t last = 0;
    for (int shift = 24; i < size; ++i, shift -= 8)
        last |= uint32_t(data[i]) << shift;
    return sum + last;
}

const Bytes* Sfnt::Find(uint32_t tag) const
{
    for (const Table& t : tables) {
        if (t.tag == tag)
            return &t.data;
    }
    return nullptr;
}

bool ParseSfnt(const Bytes& file, Sfnt& font, std::string& error)
{
    font = Sfnt();
    uint32_t version;
    uint16_t numTables;
    if (!Get32(file, 0, version) || !Get16(file, 4, numTables)) {
        error = "not a font file: too short";
        return false;
    }
    if (version == Tag("ttcf")) {
        error = "font collections are not supported";
        return false;
    }
    if (version == Tag("OTTO")) {
        error = "CFF-based OpenType fonts are not supported (TrueType outlines needed)";
        return false;
    }
    if (version != 0x00010000 && version != Tag("true")) {
        error = "not a TrueType font file";
        return false;
    }
    font.version = version;
    std::set<uint32_t> seen;
    for (uint16_t i = 0; i < numTables; ++i) {
        size_t rec = 12 + size_t(i) * 16;
        uint32_t tag, offset, length;
        if (!Get32(file, rec, tag) || !Get32(file, rec + 8, offset) || !Get32(file, rec + 12, length)) {
            error = "table directory runs past the end of the file";
            return false;
        }
        if (offset > file.size() || file.size() - offset < length) {
            error = "table '" + TagName(tag) + "' lies outside the file";
            return false;
        }
        if (!seen.insert(tag).second) {
            error = "table '" + TagName(tag) + "' appears twice";
            return false;
        }
        Table t;
        t.tag = tag;
        t.data.assign(file.begin() + offset, file.begin() + offset + length);
        font.tables.push_back(std::move(t));
    }
    return true;
}

Bytes WriteSfnt(const Sfnt& font)
{
    std::vector<const Table*> sorted;
    for (const Table& t : font.tables)
        sorted.push_back(&t);
    std::sort(sorted.begin(), sorted.end(), [](const Table* a, const Table* b) { return a->tag < b->tag; });

    uint16_t n = static_cast<uint16_t>(sorted.size());
    uint16_t entrySelector = 0;
    while ((2u << entrySelector) <= n)
        ++entrySelector;
    uint16_t searchRange = static_cast<uint16_t>(16u << entrySelector);

    Bytes out;
    Append32(out, font.version);
    Append16(out, n);
    Append16(out, searchRange);
    Append16(out, entrySelector);
    Append16(out, static_cast<uint16_t>(n * 16 - searchRange));
    out.resize(12 + size_t(n) * 16, 0);

    const uint32_t headTag = Tag("head");
    size_t headOffset = 0;
    for (uint16_t i = 0; i < n; ++i) {
        const Table& t = *sorted[i];
        size_t offset = out.size();
        out.insert(out.end(), t.data.begin(), t.data.end());
        out.resize((out.size() + 3) & ~size_t(3), 0);
        if (t.tag == headTag && t.data.size() >= 12) {
            headOffset = offset;
            Put32(out, offset + 8, 0); // checkSumAdjustment is left out of every sum
        }
        size_t rec = 12 + size_t(i) * 16;
        Put32(out, rec, t.tag);
        Put32(out, rec + 4, Checksum(out.data() + offset, t.data.size()));
        Put32(out, rec + 8, static_cast<uint32_t>(offset));
        Put32(out, rec + 12, static_cast<uint32_t>(t.data.size()));
    }
    if (headOffset)
        Put32(out, headOffset + 8, 0xB1B0AFBAu - Checksum(out.data(), out.size()));
    return out;
}

bool VerifySfntChecksums(const Bytes& file, std::string& error)
{
    uint16_t numTables;
    if (!Get16(file, 4, numTables)) {
        error = "file too short";
        return false;
    }
    if (file.size() % 4 != 0) {
        error = "file length is not a multiple of 4";
        return false;
    }
    bool haveHead = false;
    for (uint16_t i = 0; i < numTables; ++i) {
        size_t rec = 12 + size_t(i) * 16;
        uint32_t tag, sum, offset, length;
        if (!Get32(file, rec, tag) || !Get32(file, rec + 4, sum) || !Get32(file, rec + 8, offset) ||
            !Get32(file, rec + 12, length)) {
            error = "table directory runs past the end of the file";
            return false;
        }
        if (offset % 4 != 0 || offset > file.size() || file.size() - offset < length) {
            error = "table '" + TagName(tag) + "' is misaligned or outside the file";
            return false;
        }
        Bytes data(file.begin() + offset, file.begin() + offset + length);
        if (tag == Tag("head")) {
            if (length < 12) {
                error = "head table too short";
                return false;
            }
            Put32(data, 8, 0);
            haveHead = true;
        }
        if (Checksum(data.data(), data.size()) != sum) {
            error = "checksum of table '" + TagName(tag) + "' does not match";
            return false;
        }
    }
    if (!haveHead) {
        error = "no head table";
        return false;
    }
    if (Checksum(file.data(), file.size()) != 0xB1B0AFBAu) {
        error = "head.checkSumAdjustment does not balance the file checksum";
        return false;
    }
    return true;
}

namespace {

bool ReadFormat4(const Bytes& cmap, size_t base, std::map<uint32_t, uint16_t>& out)
{
    uint16_t length, segX2;
    if (!Get16(cmap, base + 2, length) || !Get16(cmap, base + 6, segX2) || segX2 % 2 != 0)
        return false;
    size_t end = std::min(cmap.size(), base + length);
    size_t segCount = segX2 / 2;
    size_t ends = base + 14, starts = ends + segX2 + 2, deltas = starts + segX2, ranges = deltas + segX2;
    if (ranges + segX2 > end)
        return false;
    uint32_t nextFree = 0; // segments ascend without overlap, so each code is seen once
    for (size_t s = 0; s < segCount; ++s) {
        uint16_t segEnd, segStart, delta, rangeOffset;
        Get16(cmap, ends + 2 * s, segEnd);
        Get16(cmap, starts + 2 * s, segStart);
        Get16(cmap, deltas + 2 * s, delta);
        Get16(cmap, ranges + 2 * s, rangeOffset);
        if (segStart > segEnd || segStart < nextFree)
            return false;
        nextFree = uint32_t(segEnd) + 1;
        for (uint32_t c = segStart; c <= segEnd; ++c) {
            uint16_t glyph;
            if (rangeOffset == 0) {
                glyph = static_cast<uint16_t>(c + delta);
            } else {
                size_t at = ranges + 2 * s + rangeOffset + 2 * (c - segStart);
                if (at + 2 > end || !Get16(cmap, at, glyph))
                    return false;
                if (glyph != 0)
                    glyph = static_cast<uint16_t>(glyph + delta);
            }
            if (glyph != 0 && c != 0xFFFF)
                out[c] = glyph;
        }
    }
    return true;
}

bool ReadFormat12(const Bytes& cmap, size_t base, std::map<uint32_t, uint16_t>& out)
{
    uint32_t numGroups;
    if (!Get32(cmap, base + 12, numGroups) || numGroups > (cmap.size() - base) / 12)
        return false;
    uint32_t nextFree = 0; // groups ascend without overlap, so each code is seen once
    for (uint32_t g = 0; g < numGroups; ++g) {
        uint32_t first, last, glyph;
        size_t at = base + 16 + size_t(g) * 12;
        if (!Get32(cmap, at, first) || !Get32(cmap, at + 4, last) || !Get32(cmap, at + 8, glyph))
            return false;
        if (first > last || last > 0x10FFFF || first < nextFree)
            return false;
        nextFree = last + 1;
        for (uint32_t c = first; c <= last; ++c) {
            uint32_t id = glyph + (c - first);
            if (id > 0xFFFF)
                return false;
            if (id != 0)
                out[c] = static_cast<uint16_t>(id);
        }
    }
    return true;
}

} // namespace

bool ReadUnicodeCmap(const Bytes& cmap, std::map<uint32_t, uint16_t>& out, std::string& error)
{
    out.clear();
    uint16_t numTables;
    if (!Get16(cmap, 2, numTables)) {
        error = "cmap table too short";
        return false;
    }
    // Lower rank is better: full-range Unicode first, then the BMP.
    int bestRank = 100;
    size_t bestOffset = 0;
    uint16_t bestFormat = 0;
    for (uint16_t i = 0; i < numTables; ++i) {
        uint16_t platform, encoding, format;
        uint32_t offset;
        if (!Get16(cmap, 4 + size_t(i) * 8, platform) || !Get16(cmap, 6 + size_t(i) * 8, encoding) ||
            !Get32(cmap, 8 + size_t(i) * 8, offset) || !Get16(cmap, offset, format)) {
            error = "cmap encoding record out of range";
            return false;
        }
        int rank = 100;
        if (format == 12 && (platform == 0 || (platform == 3 && encoding == 10)))
            rank = 0;
        else if (format == 4 && (platform == 0 || (platform == 3 && encoding == 1)))
            rank = 1;
        if (rank < bestRank) {
            bestRank = rank;
            bestOffset = offset;
            bestFormat = format;
        }
    }
    if (bestRank == 100) {
        error = "the font has no Unicode character map (format 4 or 12)";
        return false;
    }
    bool ok = bestFormat == 12 ? ReadFormat12(cmap, bestOffset, out) : ReadFormat4(cmap, bestOffset, out);
    if (!ok)
        error = "malformed cmap subtable (format " + std::to_string(bestFormat) + ")";
    return ok;
}

Bytes BuildCmap(const std::map<uint16_t, uint16_t>& map)
{
    // Each run of consecutive codes is a segment whose glyphs are listed in
    // glyphIdArray, then the closing 0xFFFF segment.
    struct Segment {
        uint16_t start, end;
        size_t firstGlyph; // index into glyphs
    };
    std::vector<Segment> segments;
    std::vector<uint16_t> glyphs;
    for (const auto& [code, glyph] : map) {
        if (code == 0xFFFF)
            continue;
        if (segments.empty() || segments.back().end + 1 != code)
            segments.push_back({code, code, glyphs.size()});
        else
            segments.back().end = code;
        glyphs.push_back(glyph);
    }
    size_t segCount = segments.size() + 1;

    Bytes sub;
    Append16(sub, 4);
    Append16(sub, 0); // length, below
    Append16(sub, 0); // language
    Append16(sub, static_cast<uint16_t>(segCount * 2));
    uint16_t entrySelector = 0;
    while ((2u << entrySelector) <= segCount)
        ++entrySelector;
    uint16_t searchRange = static_cast<uint16_t>(2u << entrySelector);
    Append16(sub, searchRange);
    Append16(sub, entrySelector);
    Append16(sub, static_cast<uint16_t>(segCount * 2 - searchRange));
    for (const Segment& s : segments)
        Append16(sub, s.end);
    Append16(sub, 0xFFFF);
    Append16(sub, 0); // reservedPad
    for (const Segment& s : segments)
        Append16(sub, s.start);
    Append16(sub, 0xFFFF);
    for (size_t i = 0; i < segments.size(); ++i)
        Append16(sub, 0);
    Append16(sub, 1); // 0xFFFF + 1 wraps to glyph 0
    for (size_t i = 0; i < segments.size(); ++i) {
        // Bytes from this idRangeOffset entry to the segment's first glyph id.
        Append16(sub, static_cast<uint16_t>(2 * (segCount - i) + 2 * segments[i].firstGlyph));
    }
    Append16(sub, 0);
    for (uint16_t g : glyphs)
        Append16(sub, g);
    Put16(sub, 2, static_cast<uint16_t>(sub.size()));

    Bytes cmap;
    Append16(cmap, 0); // version
    Append16(cmap, 2);
    Append16(cmap, 0); // Unicode platform, BMP encoding
    Append16(cmap, 3);
    Append32(cmap, 20);
    Append16(cmap, 3); // Windows platform, Unicode BMP encoding
    Append16(cmap, 1);
    Append32(cmap, 20);
    cmap.insert(cmap.end(), sub.begin(), sub.end());
    return cmap;
}

bool ReadNames(const Bytes& name, std::vector<NameRecord>& out, std::string& error)
{
    out.clear();
    uint16_t count, stringOffset;
    if (!Get16(name, 2, count) || !Get16(name, 4, stringOffset)) {
        error = "name table too short";
        return false;
    }
    for (uint16_t i = 0; i < count; ++i) {
        size_t rec = 6 + size_t(i) * 12;
        NameRecord r;
        uint16_t length, offset;
        if (!Get16(name, rec, r.platform) || !Get16(name, rec + 2, r.encoding) ||
            !Get16(name, rec + 4, r.language) || !Get16(name, rec + 6, r.nameId) ||
            !Get16(name, rec + 8, length) || !Get16(name, rec + 10, offset)) {
            error = "name record out of range";
            return false;
        }
        size_t at = size_t(stringOffset) + offset;
        if (at > name.size() || name.size() - at < length) {
            error = "name string out of range";
            return false;
        }
        r.raw.assign(name.begin() + at, name.begin() + at + length);
        out.push_back(std::move(r));
    }
    return true;
}

Bytes BuildNameTable(std::vector<NameRecord> records)
{
    std::sort(records.begin(), records.end(), [](const NameRecord& a, const NameRecord& b) {
        if (a.platform != b.platform)
            return a.platform < b.platform;
        if (a.encoding != b.encoding)
            return a.encoding < b.encoding;
        if (a.language != b.language)
            return a.language < b.language;
        return a.nameId < b.nameId;
    });
    Bytes table, strings;
    Append16(table, 0);
    Append16(table, static_cast<uint16_t>(records.size()));
    Append16(table, static_cast<uint16_t>(6 + 12 * records.size()));
    for (const NameRecord& r : records) {
        Append16(table, r.platform);
        Append16(table, r.encoding);
        Append16(table, r.language);
        Append16(table, r.nameId);
        Append16(table, static_cast<uint16_t>(r.raw.size()));
        Append16(table, static_cast<uint16_t>(strings.size()));
        strings.insert(strings.end(), r.raw.begin(), r.raw.end());
    }
    table.insert(table.end(), strings.begin(), strings.end());
    return table;
}

Bytes ToUtf16Be(const std::string& utf8)
{
    Bytes out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        uint32_t c;
        size_t n;
        if (b < 0x80) {
            c = b;
            n = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            n = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            n = 3;
        } else {
            c = b & 0x07;
            n = 4;
        }
        if (i + n > utf8.size())
            break;
        for (size_t k = 1; k < n; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        if (c >= 0x10000) {
            c -= 0x10000;
            Append16(out, static_cast<uint16_t>(0xD800 | (c >> 10)));
            Append16(out, static_cast<uint16_t>(0xDC00 | (c & 0x3FF)));
        } else {
            Append16(out, static_cast<uint16_t>(c));
        }
    }
    return out;
}

std::string FromUtf16Be(const Bytes& raw)
{
    std::string out;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        uint32_t c = (uint32_t(raw[i]) << 8) | raw[i + 1];
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < raw.size()) {
            uint32_t lo = (uint32_t(raw[i + 2]) << 8) | raw[i + 3];
            if (lo >= 0xDC00 && lo < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                i += 2;
            }
        }
        lex::AppendUtf8(out, c);
    }
    return out;
}

std::string WindowsName(const std::vector<NameRecord>& records, uint16_t nameId)
{
    for (const NameRecord& r : records) {
        if (r.platform == 3 && r.encoding == 1 && r.language == 0x409 && r.nameId == nameId)
            return FromUtf16Be(r.raw);
    }
    return std::string();
}

bool GlyphTable::Load(const Sfnt& font, std::string& error)
{
    const Bytes* head = font.Find(Tag("head"));
    const Bytes* maxp = font.Find(Tag("maxp"));
    const Bytes* loca = font.Find(Tag("loca"));
    m_glyf = font.Find(Tag("glyf"));
    uint16_t locFormat;
    if (!head || !maxp || !loca || !m_glyf || !Get16(*head, 50, locFormat) || !Get16(*maxp, 4, m_count)) {
        error = "head, maxp, loca or glyf table missing or short";
        return false;
    }
    m_offsets.assign(size_t(m_count) + 1, 0);
    for (size_t i = 0; i <= m_count; ++i) {
        bool ok;
        if (locFormat == 0) {
            uint16_t half;
            ok = Get16(*loca, i * 2, half);
            m_offsets[i] = uint32_t(half) * 2;
        } else {
            ok = Get32(*loca, i * 4, m_offsets[i]);
        }
        if (!ok || m_offsets[i] > m_glyf->size() || (i > 0 && m_offsets[i] < m_offsets[i - 1])) {
            error = "loca table is short or out of order";
            return false;
        }
    }
    return true;
}

Bytes GlyphTable::Glyph(uint16_t id) const
{
    if (id >= m_count)
        return Bytes();
    return Bytes(m_glyf->begin() + m_offsets[id], m_glyf->begin() + m_offsets[size_t(id) + 1]);
}

namespace {

constexpr uint16_t kArgsAreWords = 0x0001;
constexpr uint16_t kHaveScale = 0x0008;
constexpr uint16_t kMoreComponents = 0x0020;
constexpr uint16_t kHaveXYScale = 0x0040;
constexpr uint16_t kHaveTwoByTwo = 0x0080;

// Calls visit(offsetOfGlyphIndex) for each component; false if the data is short.
template <typename Visit>
bool ForEachComponent(const Bytes& glyph, Visit visit)
{
    uint16_t contours;
    if (glyph.empty())
        return true;
    if (!Get16(glyph, 0, contours))
        return false;
    if (!(contours & 0x8000))
        return true; // simple glyph
    size_t at = 10;
    for (;;) {
        uint16_t flags, index;
        if (!Get16(glyph, at, flags) || !Get16(glyph, at + 2, index))
            return false;
        visit(at + 2, index);
        at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
        if (flags & kHaveScale)
            at += 2;
        else if (flags & kHaveXYScale)
            at += 4;
        else if (flags & kHaveTwoByTwo)
            at += 8;
        if (at > glyph.size())
            return false;
        if (!(flags & kMoreComponents))
            return true;
    }
}

} // namespace

bool CompositeComponents(const Bytes& glyph, std::vector<uint16_t>& components)
{
    components.clear();
    return ForEachComponent(glyph, [&](size_t, uint16_t index) { components.push_back(index); });
}

bool RemapComposite(Bytes& glyph, const std::map<uint16_t, uint16_t>& newId)
{
    bool ok = true;
    std::vector<std::pair<size_t, uint16_t>> edits;
    if (!ForEachComponent(glyph, [&](size_t at, uint16_t index) {
            auto it = newId.find(index);
            if (it == newId.end())
                ok = false;
            else
                edits.emplace_back(at, it->second);
        }))
        return false;
    for (const auto& [at, id] : edits)
        Put16(glyph, at, id);
    return ok;
}

namespace {

// The 258 glyph names every 'post' table may refer to by number.
const char* const kMacGlyphNames[] = {
    ".notdef", ".null", "nonmarkingreturn", "space", "exclam", "quotedbl", "numbersign", "dollar",
    "percent", "ampersand", "quotesingle", "parenleft", "parenright", "asterisk", "plus", "comma",
    "hyphen", "period", "slash", "zero", "one", "two", "three", "four", "five", "six", "seven", "eight",
    "nine", "colon", "semicolon", "less", "equal", "greater", "question", "at", "A", "B", "C", "D", "E",
    "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y",
    "Z", "bracketleft", "backslash", "bracketright", "asciicircum", "underscore", "grave", "a", "b",
    "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q", "r", "s", "t", "u", "v",
    "w", "x", "y", "z", "braceleft", "bar", "braceright", "asciitilde", "Adieresis", "Aring",
    "Ccedilla", "Eacute", "Ntilde", "Odieresis", "Udieresis", "aacute", "agrave", "acircumflex",
    "adieresis", "atilde", "aring", "ccedilla", "eacute", "egrave", "ecircumflex", "edieresis",
    "iacute", "igrave", "icircumflex", "idieresis", "ntilde", "oacute", "ograve", "ocircumflex",
    "odieresis", "otilde", "uacute", "ugrave", "ucircumflex", "udieresis", "dagger", "degree", "cent",
    "sterling", "section", "bullet", "paragraph", "germandbls", "registered", "copyright",
    "trademark", "acute", "dieresis", "notequal", "AE", "Oslash", "infinity", "plusminus",
    "lessequal", "greaterequal", "yen", "mu", "partialdiff", "summation", "product", "pi",
    "integral", "ordfeminine", "ordmasculine", "Omega", "ae", "oslash", "questiondown",
    "exclamdown", "logicalnot", "radical", "florin", "approxequal", "Delta", "guillemotleft",
    "guillemotright", "ellipsis", "nonbreakingspace", "Agrave", "Atilde", "Otilde", "OE", "oe",
    "endash", "emdash", "quotedblleft", "quotedblright", "quoteleft", "quoteright", "divide",
    "lozenge", "ydieresis", "Ydieresis", "fraction", "currency", "guilsinglleft", "guilsinglright",
    "fi", "fl", "daggerdbl", "periodcentered", "quotesinglbase", "quotedblbase", "perthousand",
    "Acircumflex", "Ecircumflex", "Aacute", "Edieresis", "Egrave", "Iacute", "Icircumflex",
    "Idieresis", "Igrave", "Oacute", "Ocircumflex", "apple", "Ograve", "Uacute", "Ucircumflex",
    "Ugrave", "dotlessi", "circumflex", "tilde", "macron", "breve", "dotaccent", "ring", "cedilla",
    "hungarumlaut", "ogonek", "caron", "Lslash", "lslash", "Scaron", "scaron", "Zcaron", "zcaron",
    "brokenbar", "Eth", "eth", "Yacute", "yacute", "Thorn", "thorn", "minus", "multiply",
    "onesuperior", "twosuperior", "threesuperior", "onehalf", "onequarter", "threequarters", "franc",
    "Gbreve", "gbreve", "Idotaccent", "Scedilla", "scedilla", "Cacute", "cacute", "Ccaron", "ccaron",
    "dcroat",
};
static_assert(sizeof(kMacGlyphNames) / sizeof(kMacGlyphNames[0]) == 258, "standard glyph names");

} // namespace

bool ReadGlyphNames(const Bytes& post, uint16_t numGlyphs, std::vector<std::string>& names, std::string& error)
{
    names.clear();
    uint32_t version;
    if (!Get32(post, 0, version)) {
        error = "post table too short";
        return false;
    }
    if (version != 0x00020000)
        return true;
    uint16_t count;
    if (!Get16(post, 32, count) || count != numGlyphs) {
        error = "post table glyph count does not match maxp";
        return false;
    }
    std::vector<std::string> own;
    for (size_t at = 34 + size_t(count) * 2; at < post.size();) {
        size_t len = post[at];
        if (at + 1 + len > post.size()) {
            error = "post table name runs past the end";
            return false;
        }
        own.emplace_back(post.begin() + at + 1, post.begin() + at + 1 + len);
        at += 1 + len;
    }
    for (uint16_t g = 0; g < count; ++g) {
        uint16_t index;
        if (!Get16(post, 34 + size_t(g) * 2, index)) {
            error = "post table too short";
            return false;
        }
        if (index < 258)
            names.push_back(kMacGlyphNames[index]);
        else if (size_t(index - 258) < own.size())
            names.push_back(own[index - 258]);
        else {
            error = "post table refers to a missing name";
            return false;
        }
    }
    return true;
}

} // namespace fontbuild
