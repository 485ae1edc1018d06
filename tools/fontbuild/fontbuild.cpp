#include "fontbuild.h"

#include "dictionary/phonetic_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <initializer_list>
#include <set>
#include <sstream>

namespace fontbuild {

namespace {

// Number of codes the font maps: 0x20..0x7E.
constexpr size_t kCodeCount = 0x7E - 0x20 + 1;

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Hex(uint32_t v, int digits)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, v);
    return buf;
}

int16_t S16(const Bytes& b, size_t off)
{
    uint16_t v = 0;
    Get16(b, off, v);
    return static_cast<int16_t>(v);
}

NameRecord WinName(uint16_t id, const std::string& text)
{
    NameRecord r;
    r.nameId = id;
    r.raw = ToUtf16Be(text);
    return r;
}

// Horizontal metrics of one glyph from hmtx, where glyphs past numberOfHMetrics share
// the last advance.
bool ReadMetrics(const Bytes& hmtx, uint16_t numberOfHMetrics, uint16_t glyph, uint16_t& advance,
                 int16_t& lsb)
{
    if (numberOfHMetrics == 0)
        return false;
    uint16_t rawLsb;
    if (glyph < numberOfHMetrics) {
        if (!Get16(hmtx, size_t(glyph) * 4, advance) || !Get16(hmtx, size_t(glyph) * 4 + 2, rawLsb))
            return false;
    } else {
        if (!Get16(hmtx, size_t(numberOfHMetrics - 1) * 4, advance) ||
            !Get16(hmtx, size_t(numberOfHMetrics) * 4 + size_t(glyph - numberOfHMetrics) * 2, rawLsb))
            return false;
    }
    lsb = static_cast<int16_t>(rawLsb);
    return true;
}

// A 'post' table for the kept glyphs: version 2.0 keeps their names, any other
// version becomes 3.0 (no names).
Bytes BuildPost(const Bytes& src, const std::vector<uint16_t>& oldIds, std::string& error)
{
    Bytes post(src.begin(), src.begin() + std::min<size_t>(32, src.size()));
    post.resize(32, 0);
    uint32_t version = 0;
    Get32(src, 0, version);
    if (version != 0x00020000) {
        Put32(post, 0, 0x00030000);
        return post;
    }
    uint16_t count;
    if (!Get16(src, 32, count)) {
        error = "post table too short";
        return Bytes();
    }
    std::vector<size_t> ownAt; // offsets of the source's own names
    for (size_t at = 34 + size_t(count) * 2; at < src.size(); at += 1 + src[at])
        ownAt.push_back(at);
    Append16(post, static_cast<uint16_t>(oldIds.size()));
    Bytes strings;
    uint16_t next = 258;
    for (uint16_t old : oldIds) {
        uint16_t index;
        if (!Get16(src, 34 + size_t(old) * 2, index) || old >= count) {
            error = "post table has no entry for glyph " + std::to_string(old);
            return Bytes();
        }
        if (index >= 258) {
            size_t k = index - 258;
            if (k >= ownAt.size() || ownAt[k] + 1 + src[ownAt[k]] > src.size()) {
                error = "post table refers to a missing glyph name";
                return Bytes();
            }
            strings.insert(strings.end(), src.begin() + ownAt[k], src.begin() + ownAt[k] + 1 + src[ownAt[k]]);
            index = next++;
        }
        Append16(post, index);
    }
    post.insert(post.end(), strings.begin(), strings.end());
    return post;
}

} // namespace

std::vector<char32_t> PhoneticTableSymbols()
{
    std::vector<char32_t> symbols;
    for (unsigned code = lex::kFirstFontCode; code <= lex::kLastFontCode; ++code)
        symbols.push_back(lex::FontSymbolForCode(static_cast<unsigned char>(code)));
    return symbols;
}

std::vector<std::string> ReservedFontNames(const std::string& copyright)
{
    std::vector<std::string> names;
    const std::string lower = Lower(copyright);
    const std::string phrase = "reserved font name";
    const std::string openCurly = "\xE2\x80\x9C", closeCurly = "\xE2\x80\x9D";
    for (size_t at = lower.find(phrase); at != std::string::npos; at = lower.find(phrase, at + 1)) {
        // Quoted names up to the end of the sentence. A quoted phrase itself (as in a
        // licence's definition of the term) is not a statement of names.
        size_t i = at + phrase.size();
        if (i < lower.size() && lower[i] == 's')
            ++i;
        if (i >= lower.size() || (lower[i] != ' ' && lower[i] != '\n'))
            continue;
        while (i < copyright.size() && copyright[i] != '.') {
            std::string close;
            if (copyright[i] == '"') {
                close = "\"";
                i += 1;
            } else if (copyright.compare(i, openCurly.size(), openCurly) == 0) {
                close = closeCurly;
                i += openCurly.size();
            } else {
                ++i;
                continue;
            }
            size_t end = copyright.find(close, i);
            if (end == std::string::npos || end - i > 63)
                break;
            std::string name = copyright.substr(i, end - i);
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
            i = end + close.size();
        }
    }
    return names;
}

bool BuildPhoneticFont(const Bytes& source, const PhoneticFontOptions& options, Bytes& out, std::string& error)
{
    out.clear();
    if (options.symbols.size() != kCodeCount) {
        error = "the code table must give a symbol for each of the 95 codes 0x20..0x7E";
        return false;
    }
    Sfnt src;
    if (!ParseSfnt(source, src, error))
        return false;
    const char* const required[] = {"head", "hhea", "maxp", "hmtx", "cmap", "loca", "glyf", "name", "post", "OS/2"};
    for (const char* t : required) {
        char tag[5] = {t[0], t[1], t[2], t[3], 0};
        if (!src.Find(Tag(tag))) {
            error = std::string("the source font has no '") + t + "' table";
            return false;
        }
    }
    Bytes head = *src.Find(Tag("head"));
    Bytes hhea = *src.Find(Tag("hhea"));
    Bytes maxp = *src.Find(Tag("maxp"));
    Bytes os2 = *src.Find(Tag("OS/2"));
    const Bytes& hmtx = *src.Find(Tag("hmtx"));
    if (head.size() < 54 || hhea.size() < 36 || maxp.size() < 6 || os2.size() < 78) {
        error = "head, hhea, maxp or OS/2 table too short";
        return false;
    }

    // The licence may reserve names of the original for the original.
    std::vector<NameRecord> srcNames;
    if (!ReadNames(*src.Find(Tag("name")), srcNames, error))
        return false;
    const std::string copyright = WindowsName(srcNames, 0);
    std::string subfamily = WindowsName(srcNames, 2);
    if (subfamily.empty())
        subfamily = "Regular";
    const bool regular = subfamily == "Regular";
    const std::string full = regular ? options.family : options.family + " " + subfamily;
    std::string postScript = options.family;
    if (!regular) {
        postScript += '-';
        for (char c : subfamily)
            if (c != ' ')
                postScript += c;
    }
    const std::string version = WindowsName(srcNames, 5);
    const std::string unique = full + "; " + version;
    if (options.family.empty()) {
        error = "the family name is empty";
        return false;
    }
    // Fonts state their Reserved Font Names after the copyright, in the copyright or
    // in the licence description record.
    for (const std::string& reserved : ReservedFontNames(copyright + "\n" + WindowsName(srcNames, 13))) {
        for (const std::string* name : std::initializer_list<const std::string*>{&options.family, &full, &postScript, &unique}) {
            if (!reserved.empty() && Lower(*name).find(Lower(reserved)) != std::string::npos) {
                error = "the name \"" + *name + "\" uses the Reserved Font Name \"" + reserved +
                        "\" of the source font, which its licence forbids for a modified version";
                return false;
            }
        }
    }

    // Code -> source glyph.
    std::map<uint32_t, uint16_t> unicode;
    if (!ReadUnicodeCmap(*src.Find(Tag("cmap")), unicode, error))
        return false;
    GlyphTable glyphs;
    if (!glyphs.Load(src, error))
        return false;
    std::map<uint16_t, uint16_t> codeToOld;
    for (size_t i = 0; i < kCodeCount; ++i) {
        auto it = unicode.find(options.symbols[i]);
        if (it == unicode.end() || it->second >= glyphs.Count()) {
            error = "the source font has no glyph for U+" + Hex(options.symbols[i], 4) + " (code 0x" +
                    Hex(unsigned(0x20 + i), 2) + ")";
            return false;
        }
        codeToOld[static_cast<uint16_t>(0x20 + i)] = it->second;
    }

    // Keep .notdef, the mapped glyphs and every glyph a kept composite is built from.
    std::set<uint16_t> keep;
    std::vector<uint16_t> work = {0};
    for (const auto& [code, glyph] : codeToOld)
        work.push_back(glyph);
    while (!work.empty()) {
        uint16_t g = work.back();
        work.pop_back();
        if (!keep.insert(g).second)
            continue;
        std::vector<uint16_t> components;
        if (!CompositeComponents(glyphs.Glyph(g), components)) {
            error = "composite glyph " + std::to_string(g) + " is malformed";
            return false;
        }
        for (uint16_t c : components) {
            if (c >= glyphs.Count()) {
                error = "composite glyph " + std::to_string(g) + " refers to a missing glyph";
                return false;
            }
            if (!keep.count(c))
                work.push_back(c);
        }
    }
    std::vector<uint16_t> oldIds(keep.begin(), keep.end()); // ascending, .notdef first
    std::map<uint16_t, uint16_t> newId;
    for (size_t i = 0; i < oldIds.size(); ++i)
        newId[oldIds[i]] = static_cast<uint16_t>(i);

    // Outlines, with long offsets; metrics for every glyph; extremes for head and hhea.
    uint16_t numberOfHMetrics;
    Get16(hhea, 34, numberOfHMetrics);
    Bytes glyf, loca, newHmtx;
    int16_t xMin = 32767, yMin = 32767, xMax = -32768, yMax = -32768;
    int16_t minLsb = 32767, minRsb = 32767, maxExtent = -32768;
    uint16_t maxAdvance = 0;
    uint32_t advanceSum = 0, advanceCount = 0;
    for (uint16_t old : oldIds) {
        Bytes g = glyphs.Glyph(old);
        if (!RemapComposite(g, newId)) {
            error = "cannot renumber the components of glyph " + std::to_string(old);
            return false;
        }
        uint16_t advance;
        int16_t lsb;
        if (!ReadMetrics(hmtx, numberOfHMetrics, old, advance, lsb)) {
            error = "hmtx table too short";
            return false;
        }
        Append16(newHmtx, advance);
        Append16(newHmtx, static_cast<uint16_t>(lsb));
        maxAdvance = std::max(maxAdvance, advance);
        if (advance) {
            advanceSum += advance;
            ++advanceCount;
        }
        if (g.size() >= 10) {
            int16_t gxMin = S16(g, 2), gyMin = S16(g, 4), gxMax = S16(g, 6), gyMax = S16(g, 8);
            xMin = std::min(xMin, gxMin);
            yMin = std::min(yMin, gyMin);
            xMax = std::max(xMax, gxMax);
            yMax = std::max(yMax, gyMax);
            minLsb = std::min(minLsb, lsb);
            minRsb = std::min<int>(minRsb, advance - (lsb + gxMax - gxMin));
            maxExtent = std::max<int>(maxExtent, lsb + (gxMax - gxMin));
        }
        Append32(loca, static_cast<uint32_t>(glyf.size()));
        glyf.insert(glyf.end(), g.begin(), g.end());
        glyf.resize((glyf.size() + 3) & ~size_t(3), 0);
    }
    Append32(loca, static_cast<uint32_t>(glyf.size()));
    if (xMin > xMax) {
        error = "none of the mapped glyphs has an outline";
        return false;
    }
    const uint16_t numGlyphs = static_cast<uint16_t>(oldIds.size());

    Put16(head, 36, static_cast<uint16_t>(xMin));
    Put16(head, 38, static_cast<uint16_t>(yMin));
    Put16(head, 40, static_cast<uint16_t>(xMax));
    Put16(head, 42, static_cast<uint16_t>(yMax));
    Put16(head, 50, 1); // long loca offsets

    Put16(hhea, 10, maxAdvance);
    Put16(hhea, 12, static_cast<uint16_t>(minLsb));
    Put16(hhea, 14, static_cast<uint16_t>(minRsb));
    Put16(hhea, 16, static_cast<uint16_t>(maxExtent));
    Put16(hhea, 34, numGlyphs);

    Put16(maxp, 4, numGlyphs);

    // OS/2: the font now covers Basic Latin only (bit 0 of the Unicode ranges, the
    // Latin 1 code page), and has no layout tables for usMaxContext to describe.
    uint16_t os2Version;
    Get16(os2, 0, os2Version);
    Put16(os2, 2, static_cast<uint16_t>(advanceCount ? advanceSum / advanceCount : 0));
    Put32(os2, 42, 1);
    Put32(os2, 46, 0);
    Put32(os2, 50, 0);
    Put32(os2, 54, 0);
    Put16(os2, 64, lex::kFirstFontCode);
    Put16(os2, 66, lex::kLastFontCode);
    if (os2Version >= 1 && os2.size() >= 86) {
        Put32(os2, 78, 1);
        Put32(os2, 82, 0);
    }
    if (os2Version >= 2 && os2.size() >= 96) {
        Put16(os2, 90, 0);
        Put16(os2, 92, 0x20);
        Put16(os2, 94, 0);
    }

    std::map<uint16_t, uint16_t> cmap;
    for (const auto& [code, old] : codeToOld)
        cmap[code] = newId[old];

    Bytes post = BuildPost(*src.Find(Tag("post")), oldIds, error);
    if (post.empty())
        return false;

    // Names: the new family everywhere a user sees a font name; the copyright with a
    // note of the change, and the designer and licence records of the original.
    const std::string srcFamily = WindowsName(srcNames, 1);
    std::string note = "Modified for Lexorin: the character map was remapped to phonetic codes, "
                       "unused glyphs were removed and the font was renamed " + options.family + ".";
    std::vector<NameRecord> names;
    names.push_back(WinName(0, copyright.empty() ? note : copyright + "\n" + note));
    names.push_back(WinName(1, options.family));
    names.push_back(WinName(2, subfamily));
    names.push_back(WinName(3, unique));
    names.push_back(WinName(4, full));
    names.push_back(WinName(5, version.empty() ? "Version 1.000" : version));
    names.push_back(WinName(6, postScript));
    names.push_back(WinName(10, options.family + " is the phonetic font of Lexorin: the codes 0x20-0x7E show IPA "
                                                 "symbols. It is a modified version of " +
                                    (srcFamily.empty() ? std::string("another font") : srcFamily) +
                                    (version.empty() ? "" : " (" + version + ")") + "."));
    for (uint16_t keepId : {9, 12, 13, 14}) {
        std::string text = WindowsName(srcNames, keepId);
        if (!text.empty())
            names.push_back(WinName(keepId, text));
    }

    Sfnt font;
    font.version = 0x00010000;
    font.tables.push_back({Tag("head"), head});
    font.tables.push_back({Tag("hhea"), hhea});
    font.tables.push_back({Tag("maxp"), maxp});
    font.tables.push_back({Tag("OS/2"), os2});
    font.tables.push_back({Tag("hmtx"), newHmtx});
    font.tables.push_back({Tag("cmap"), BuildCmap(cmap)});
    font.tables.push_back({Tag("loca"), loca});
    font.tables.push_back({Tag("glyf"), glyf});
    font.tables.push_back({Tag("name"), BuildNameTable(names)});
    font.tables.push_back({Tag("post"), post});
    // Hinting programs and the grid-fitting table do not refer to glyph ids. Layout,
    // kerning, Graphite and device-metric tables do, and are left out.
    for (const char* t : {"cvt ", "fpgm", "prep", "gasp"}) {
        char tag[5] = {t[0], t[1], t[2], t[3], 0};
        if (const Bytes* data = src.Find(Tag(tag)))
            font.tables.push_back({Tag(tag), *data});
    }
    out = WriteSfnt(font);
    return true;
}

namespace {

// A paragraph of a Debian machine-readable copyright file: field name -> value, with
// continuation lines joined by '\n' ("." lines become empty lines).
using Paragraph = std::vector<std::pair<std::string, std::string>>;

std::vector<Paragraph> ParseDeb822(const std::string& text)
{
    std::vector<Paragraph> paragraphs;
    Paragraph current;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) {
            if (!current.empty())
                paragraphs.push_back(std::move(current));
            current.clear();
            continue;
        }
        if ((line[0] == ' ' || line[0] == '\t') && !current.empty()) {
            std::string cont = line.substr(1);
            if (cont == ".")
                cont.clear();
            current.back().second += "\n" + cont;
            continue;
        }
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string value = line.substr(colon + 1);
        size_t b = value.find_first_not_of(' ');
        current.emplace_back(line.substr(0, colon), b == std::string::npos ? "" : value.substr(b));
    }
    if (!current.empty())
        paragraphs.push_back(std::move(current));
    return paragraphs;
}

std::string Field(const Paragraph& p, const std::string& name)
{
    for (const auto& [k, v] : p)
        if (Lower(k) == Lower(name))
            return v;
    return std::string();
}

// Wraps a paragraph at 78 columns.
std::string Wrap(const std::string& text)
{
    std::istringstream words(text);
    std::string word, line, out;
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > 78) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + line + "\n";
}

} // namespace

bool MakeLicenceText(const std::string& debianCopyright, const std::string& sourceDescription,
                     const std::string& family, const std::string& fontFile, std::string& out,
                     std::string& error)
{
    out.clear();
    std::vector<Paragraph> paragraphs = ParseDeb822(debianCopyright);
    std::string copyright, licenceName, licence;
    for (const Paragraph& p : paragraphs) {
        if (Field(p, "Files") == "*") {
            copyright = Field(p, "Copyright");
            licenceName = Field(p, "License");
        }
    }
    if (copyright.empty() || licenceName.empty()) {
        error = "the copyright file has no 'Files: *' paragraph with Copyright and License";
        return false;
    }
    // The licence text is either given in place or in a stand-alone License paragraph.
    size_t nl = licenceName.find('\n');
    if (nl != std::string::npos) {
        licence = licenceName.substr(nl + 1);
        licenceName.resize(nl);
    } else {
        for (const Paragraph& p : paragraphs) {
            if (!p.empty() && Lower(p.front().first) == "license") {
                const std::string& v = p.front().second;
                nl = v.find('\n');
                if (nl != std::string::npos && v.substr(0, nl) == licenceName)
                    licence = v.substr(nl + 1);
            }
        }
    }
    if (licence.find("Open Font License") == std::string::npos) {
        error = "no SIL Open Font License text for '" + licenceName + "' in the copyright file";
        return false;
    }
    std::vector<std::string> reserved = ReservedFontNames(copyright);
    std::string reservedList;
    for (size_t i = 0; i < reserved.size(); ++i)
        reservedList += (i ? (i + 1 == reserved.size() ? " and \"" : ", \"") : "\"") + reserved[i] + "\"";

    std::string text = family + " - the phonetic font of Lexorin (" + fontFile + ")\n\n";
    text += Wrap(family + " is a Modified Version of " + sourceDescription +
                 ". For Lexorin its character map was replaced so that the character codes 0x20 to 0x7E "
                 "show phonetic (IPA) symbols, the glyphs no longer reached were removed, and the font "
                 "was renamed " + family + "." +
                 (reservedList.empty() ? std::string()
                                       : std::string(" It does not use the Reserved Font Name") +
                                             (reserved.size() > 1 ? "s " : " ") + reservedList +
                                             " of the original, as the licence requires.") +
                 " The original's copyright notices and its licence follow; the modified font is "
                 "distributed under the same licence.");
    text += "\nCopyright notices of the original\n---------------------------------\n\n";
    text += copyright + "\n\nLicence (" + licenceName + ")\n";
    text += std::string(10 + licenceName.size(), '-') + "\n\n";
    text += licence + "\n";

    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return true;
}

} // namespace fontbuild
