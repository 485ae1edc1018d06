#include "dictionary/word_list.h"

#include "dictionary/entry.h"
#include "dictionary/phonetic_table.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace wordlist {

void Report::Add(const std::string& file, int line, const char* kind, const std::string& text, Fault fault)
{
    size_t index = std::find(m_files.begin(), m_files.end(), file) - m_files.begin();
    if (index == m_files.size())
        m_files.push_back(file);
    std::string m = file;
    if (line > 0)
        m += ":" + std::to_string(line);
    m += ": ";
    m += kind;
    m += ": ";
    m += text;
    m_messages.push_back({index, line, m, kind[0] == 'e', fault, m.size() - text.size()});
}

bool Report::FirstError(int* line, std::string* text, Fault* fault) const
{
    for (const Message& m : m_messages) {
        if (!m.error)
            continue;
        *line = m.line;
        *text = m.text.substr(m.textStart);
        if (fault)
            *fault = m.fault;
        return true;
    }
    return false;
}

std::vector<std::string> Report::Messages() const
{
    std::vector<Message> sorted = m_messages;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Message& a, const Message& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    std::vector<std::string> out;
    for (const Message& m : sorted)
        out.push_back(m.text);
    return out;
}

void Report::Error(const std::string& file, int line, const std::string& text, Fault fault)
{
    ++m_errors;
    Add(file, line, "error", text, fault);
}

void Report::Warning(const std::string& file, int line, const std::string& text)
{
    ++m_warnings;
    Add(file, line, "warning", text, Fault::Other);
}

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == 0x3000 || c == 0xA0 || c == 0xFEFF;
}

// "U+00E9 'é'" for messages; control characters and undecodable bytes without the glyph.
std::string Describe(char32_t c)
{
    std::string s = CodePointName(c);
    if (!IsUndecodable(c) && c >= 0x20 && c != 0x7F) {
        s += " '";
        AppendUtf8(s, c);
        s += "'";
    }
    return s;
}

std::string Utf8(const std::u32string& s)
{
    return EncodeUtf8(s);
}

// ----- one line of each input format -----

bool SplitTsv(const std::u32string& line, std::vector<std::u32string>& fields, std::string&)
{
    size_t start = 0;
    for (;;) {
        size_t tab = line.find(U'\t', start);
        fields.push_back(line.substr(start, tab == std::u32string::npos ? tab : tab - start));
        if (tab == std::u32string::npos)
            return true;
        start = tab + 1;
    }
}

// RFC 4180 fields on one line: a field in double quotes may hold commas, and "" stands
// for one quote inside it. Blanks around a quoted field are allowed.
bool SplitDelimited(const std::u32string& line, char32_t separator, std::vector<std::u32string>& fields,
                    std::string& error)
{
    size_t i = 0;
    const size_t n = line.size();
    const auto blank = [&](char32_t c) { return c != separator && IsBlank(c); };
    for (;;) {
        size_t j = i;
        while (j < n && blank(line[j]))
            ++j;
        std::u32string field;
        if (j < n && line[j] == U'"') {
            const size_t open = j;
            ++j;
            for (;;) {
                if (j >= n) {
                    error = "the quoted field opened at character " + std::to_string(open + 1) +
                            " is not closed on this line (fields cannot span lines)";
                    return false;
                }
                if (line[j] == U'"') {
                    if (j + 1 < n && line[j + 1] == U'"') {
                        field += U'"';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                field += line[j++];
            }
            while (j < n && blank(line[j]))
                ++j;
            if (j < n && line[j] != separator) {
                error = "unexpected text after the closing quote at character " + std::to_string(j + 1) +
                        " (write a quote inside a quoted field as \"\")";
                return false;
            }
        } else {
            while (j < n && line[j] != separator)
                field += line[j++];
        }
        fields.push_back(field);
        if (j >= n)
            return true;
        i = j + 1; // past the comma
    }
}

bool SplitCsv(const std::u32string& line, std::vector<std::u32string>& fields, std::string& error)
{
    return SplitDelimited(line, U',', fields, error);
}

bool IsChineseText(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x3000 && c <= 0x303F) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

// "word [phonetic] meaning", or the word alone.
bool SplitBracketLine(const std::u32string& line, std::vector<std::u32string>& fields, std::string& error)
{
    const size_t open = line.find(U'[');
    if (open == std::u32string::npos && std::none_of(line.begin(), line.end(), IsChineseText)) {
        fields.push_back(line);
        return true;
    }
    if (open == std::u32string::npos) {
        error = "expected 'word [phonetic] meaning', found no '['";
        return false;
    }
    const size_t close = line.find(U']', open + 1);
    if (close == std::u32string::npos) {
        error = "the '[' at character " + std::to_string(open + 1) + " has no closing ']'";
        return false;
    }
    fields.push_back(line.substr(0, open));
    fields.push_back(line.substr(open + 1, close - open - 1));
    fields.push_back(line.substr(close + 1));
    return true;
}

Format GuessFormat(const std::u32string& line)
{
    if (line.find(U'\t') != std::u32string::npos)
        return Format::Tsv;
    if (line.find(U'[') != std::u32string::npos)
        return Format::Lines;
    if (line.find(U',') != std::u32string::npos)
        return Format::Csv;
    return Format::Lines;
}

// Word lists often write a transcription as /.../ or [...]; the brackets are not part
// of it (and a '/' could not go into a .KM line anyway).
std::u32string StripPhoneticBrackets(const std::u32string& p)
{
    if (p.size() >= 2 && ((p.front() == U'/' && p.back() == U'/') || (p.front() == U'[' && p.back() == U']')))
        return Trim(p.substr(1, p.size() - 2));
    return p;
}

const char* const kFieldNames[] = {"word", "phonetic", "meaning"};

} // namespace

std::u32string Trim(const std::u32string& s)
{
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

Format FormatFromFileName(const std::string& name)
{
    const size_t dot = name.find_last_of('.');
    const size_t slash = name.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return Format::Auto;
    const std::string ext = Lower(name.substr(dot + 1));
    if (ext == "tsv" || ext == "tab")
        return Format::Tsv;
    if (ext == "csv")
        return Format::Csv;
    if (ext == "km")
        return Format::Km;
    return Format::Auto;
}

bool ParseFormatName(const std::string& name, Format* out)
{
    const std::string n = Lower(name);
    if (n == "tsv") *out = Format::Tsv;
    else if (n == "csv") *out = Format::Csv;
    else if (n == "lines") *out = Format::Lines;
    else if (n == "km") *out = Format::Km;
    else if (n == "anki") *out = Format::Anki;
    else return false;
    return true;
}

const char* FormatName(Format f)
{
    switch (f) {
    case Format::Auto: return "auto";
    case Format::Tsv: return "tsv";
    case Format::Csv: return "csv";
    case Format::Lines: return "lines";
    case Format::Km: return "km";
    case Format::Anki: return "anki";
    }
    return "?";
}

Encoding InputEncoding(const std::string& bytes, const ToKmOptions& options)
{
    return options.encodingGiven ? options.encoding : DetectEncoding(bytes);
}

std::vector<TextEntry> ParseWordList(const std::string& bytes, const std::string& file,
                                     const ToKmOptions& options, Report& report)
{
    std::vector<TextEntry> entries;
    CWordListParser parser(bytes, file, options, report);
    TextEntry e;
    while (parser.Next(e))
        entries.push_back(std::move(e));
    return entries;
}

CWordListParser::CWordListParser(const std::string& bytes, const std::string& file, const ToKmOptions& options,
                                 Report& report)
    : m_file(file), m_options(options), m_report(&report), m_size(bytes.size()),
      m_encoding(InputEncoding(bytes, options)), m_lines(bytes, m_encoding),
      m_format(options.format == Format::Km ? Format::Auto : options.format), m_headerPending(options.skipHeader)
{
}

void CWordListParser::Reject(int line, const std::string& text, Fault fault)
{
    ++m_rejected;
    m_report->Error(m_file, line, text, fault);
}

namespace {

// ASCII letters lowered; anything else becomes '?' (for keywords only).
std::string AsciiLower(const std::u32string& s)
{
    std::string out;
    for (char32_t c : s)
        out += c < 0x80 ? static_cast<char>(std::tolower(static_cast<int>(c))) : '?';
    return out;
}

} // namespace

// "#separator:tab", "#html:true", "#tags column:3" ... Only before the first entry,
// and only when the format is Anki or still to be recognised.
bool CWordListParser::ReadAnkiHeader(const std::u32string& trimmed)
{
    if (m_entrySeen || (m_format != Format::Auto && m_format != Format::Anki))
        return false;
    const size_t colon = trimmed.find(U':');
    if (colon == std::u32string::npos)
        return false;
    const std::string key = AsciiLower(Trim(trimmed.substr(1, colon - 1)));
    const std::u32string value = Trim(trimmed.substr(colon + 1));
    const std::string name = AsciiLower(value);
    if (key == "separator") {
        static const struct { const char* name; char32_t c; } kNames[] = {
            {"tab", U'\t'}, {"comma", U','}, {"semicolon", U';'}, {"space", U' '}, {"pipe", U'|'}, {"colon", U':'}};
        bool known = false;
        for (const auto& n : kNames) {
            if (name == n.name) {
                m_separator = n.c;
                known = true;
            }
        }
        if (!known && value.size() == 1)
            m_separator = value[0];
    } else if (key == "html") {
        m_html = name == "true";
    } else if (key == "tags column" || key == "guid column" || key == "notetype column" || key == "deck column") {
        const int column = std::atoi(name.c_str());
        if (column > 0)
            m_metaColumns.push_back(column);
    } else if (key != "columns" && key != "notetype" && key != "deck" && key != "tags") {
        return false;
    }
    m_format = Format::Anki;
    return true;
}

bool CWordListParser::Next(TextEntry& e)
{
    TextLine line;
    while (m_lines.Next(line)) {
        const std::u32string trimmed = Trim(line.text);
        if (trimmed.empty())
            continue;
        if (m_headerPending) {
            m_headerPending = false;
            continue;
        }
        if (trimmed[0] == U'#') {
            ReadAnkiHeader(trimmed);
            continue;
        }
        const auto bad = std::find_if(line.text.begin(), line.text.end(), IsUndecodable);
        if (bad != line.text.end()) {
            Reject(line.number, std::string("not valid ") + EncodingName(m_encoding) + ": " + Describe(*bad) +
                                    " at character " + std::to_string(bad - line.text.begin() + 1),
                   Fault::Undecodable);
            continue;
        }
        m_entrySeen = true;
        if (m_format == Format::Auto || m_format == Format::Km)
            m_format = GuessFormat(line.text);

        std::vector<std::u32string> fields;
        std::string error;
        bool ok = m_format == Format::Tsv    ? SplitTsv(line.text, fields, error)
                  : m_format == Format::Csv  ? SplitCsv(line.text, fields, error)
                  : m_format == Format::Anki ? SplitDelimited(line.text, m_separator, fields, error)
                                             : SplitBracketLine(line.text, fields, error);
        if (!ok) {
            Reject(line.number, error, Fault::Syntax);
            continue;
        }
        if (m_format == Format::Anki) {
            // The columns that are no note fields go, from the right so the numbers hold.
            std::vector<int> meta = m_metaColumns;
            std::sort(meta.rbegin(), meta.rend());
            for (int column : meta)
                if (static_cast<size_t>(column) <= fields.size())
                    fields.erase(fields.begin() + (column - 1));
            if (m_html)
                for (auto& f : fields)
                    f = StripAnkiHtml(f);
            if (fields.empty())
                fields.emplace_back();
        }
        for (auto& f : fields)
            f = Trim(f);
        // Spreadsheets pad rows with empty cells.
        while (fields.size() > 1 && fields.back().empty())
            fields.pop_back();
        if (fields.size() > 3) {
            Reject(line.number, std::to_string(fields.size()) +
                                    " columns; expected word, phonetic and meaning (or word and meaning)",
                   Fault::Columns);
            continue;
        }
        e = TextEntry();
        e.line = line.number;
        e.word = fields[0];
        if (fields.size() == 2) {
            e.meaning = fields[1];
        } else if (fields.size() == 3) {
            e.phonetic = StripPhoneticBrackets(fields[1]);
            e.meaning = fields[2];
        }
        if (e.word.empty()) {
            Reject(line.number, "the word is empty", Fault::EmptyWord);
            continue;
        }
        return true;
    }
    return false;
}

std::u32string StripAnkiHtml(const std::u32string& field)
{
    static const struct { const char* name; char32_t c; } kEntities[] = {
        {"amp", U'&'}, {"lt", U'<'}, {"gt", U'>'}, {"quot", U'"'}, {"apos", U'\''}, {"nbsp", U' '},
        {"ensp", U' '}, {"emsp", U' '}, {"mdash", 0x2014}, {"ndash", 0x2013}, {"hellip", 0x2026},
        {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"middot", 0xB7}};
    static const char* const kBreaking[] = {"br", "div", "p", "li", "tr", "td", "ul", "ol", "hr"};
    std::u32string text;
    const size_t n = field.size();
    for (size_t i = 0; i < n;) {
        const char32_t c = field[i];
        if (c == U'<') {
            const size_t close = field.find(U'>', i + 1);
            if (close == std::u32string::npos) {
                text += c;
                ++i;
                continue;
            }
            size_t k = i + 1;
            if (k < close && field[k] == U'/')
                ++k;
            size_t nameEnd = k;
            while (nameEnd < close && field[nameEnd] < 0x80 && std::isalnum(static_cast<int>(field[nameEnd])))
                ++nameEnd;
            const std::string tag = AsciiLower(field.substr(k, nameEnd - k));
            for (const char* b : kBreaking)
                if (tag == b)
                    text += U' ';
            i = close + 1;
            continue;
        }
        if (c == U'&') {
            const size_t semi = field.find(U';', i + 1);
            if (semi != std::u32string::npos && semi - i <= 10) {
                const std::u32string body = field.substr(i + 1, semi - i - 1);
                char32_t value = 0;
                if (body.size() > 1 && body[0] == U'#') {
                    const bool hex = body[1] == U'x' || body[1] == U'X';
                    const std::string digits = AsciiLower(body.substr(hex ? 2 : 1));
                    char* end = nullptr;
                    const unsigned long v = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
                    if (!digits.empty() && end && *end == 0 && v > 0 && v <= 0x10FFFF)
                        value = static_cast<char32_t>(v);
                } else {
                    const std::string name = AsciiLower(body);
                    for (const auto& entity : kEntities)
                        if (name == entity.name)
                            value = entity.c;
                }
                if (value) {
                    text += value;
                    i = semi + 1;
                    continue;
                }
            }
        }
        if (c == U'[' && field.compare(i, 7, U"[sound:") == 0) {
            const size_t close = field.find(U']', i);
            if (close != std::u32string::npos) {
                i = close + 1;
                continue;
            }
        }
        text += c;
        ++i;
    }
    std::u32string out;
    for (char32_t c : text) {
        if (IsBlank(c) && (out.empty() || IsBlank(out.back())))
            continue;
        out += IsBlank(c) ? U' ' : c;
    }
    return Trim(out);
}

bool EncodeKmFields(const TextEntry& e, const std::string& file, const ToKmOptions& options, Report& report,
                    std::string encoded[3])
{
    const std::u32string* fields[] = {&e.word, &e.phonetic, &e.meaning};
    bool ok = true;
    for (int k = 0; k < 3; ++k) {
        const std::u32string& f = *fields[k];
        if (f.find(U'/') != std::u32string::npos) {
            report.Error(file, e.line,
                         std::string("'/' in the ") + kFieldNames[k] +
                             " \"" + Utf8(f) +
                             // u8: the messages are UTF-8, narrow literals code page 936.
                             u8"\": '/' separates the fields of a .KM line; write another character "
                             u8"instead (for example '、' or '，')",
                         Fault::Slash);
            ok = false;
            continue;
        }
        auto ctrl = std::find_if(f.begin(), f.end(), [](char32_t c) { return c < 0x20 || c == 0x7F; });
        if (ctrl != f.end()) {
            report.Error(file, e.line,
                         std::string("control character ") + Describe(*ctrl) + " in the " + kFieldNames[k],
                         Fault::Control);
            ok = false;
        }
    }
    if (!ok)
        return false;

    for (int k = 0; k < 3; ++k)
        encoded[k].clear();
    size_t bad = 0;
    if (options.rawPhonetic) {
        for (size_t i = 0; i < e.phonetic.size(); ++i) {
            if (e.phonetic[i] < lex::kFirstFontCode || e.phonetic[i] > lex::kLastFontCode) {
                report.Error(file, e.line,
                             Describe(e.phonetic[i]) + " (character " + std::to_string(i + 1) +
                                 " of the phonetic) is not a font code; codes are 0x20 to 0x7E",
                             Fault::Phonetic);
                ok = false;
                break;
            }
            encoded[1] += static_cast<char>(e.phonetic[i]);
        }
    } else if (!lex::IpaToCodes(e.phonetic, encoded[1], &bad)) {
        report.Error(file, e.line,
                     "the phonetic symbol " + Describe(e.phonetic[bad]) + " (character " +
                         std::to_string(bad + 1) + " of \"" + Utf8(e.phonetic) +
                         "\") is not in the DFPhonetic font",
                     Fault::Phonetic);
        ok = false;
    }
    for (int k : {0, 2}) {
        if (!EncodeCp936(*fields[k], encoded[k], &bad)) {
            report.Error(file, e.line,
                         Describe((*fields[k])[bad]) + " in the " + kFieldNames[k] + " \"" + Utf8(*fields[k]) +
                             "\" has no code in code page 936",
                         Fault::NoCp936);
            ok = false;
        }
    }
    return ok;
}

void AppendKmLine(const std::string encoded[3], int lineNumber, const std::string& file, Report& report,
                  Stats* stats, std::string& out)
{
    const bool emptyPhonetic = encoded[1].empty();
    const bool emptyMeaning = encoded[2].empty();
    const std::string line = encoded[0] + "/" + encoded[1] + "/" + encoded[2];
    if (line.size() > kMaxKmLineBytes)
        report.Warning(file, lineNumber,
                       "the entry is " + std::to_string(line.size()) + " bytes long; Lexorin shows up to " +
                           std::to_string(kMaxKmLineBytes) + " bytes of a line whole and splits longer ones");
    if (stats) {
        ++stats->entries;
        stats->emptyPhonetic += emptyPhonetic;
        stats->emptyMeaning += emptyMeaning;
        stats->overLong += line.size() > kMaxKmLineBytes;
        if (line.size() > stats->longestBytes) {
            stats->longestBytes = line.size();
            stats->longestLine = lineNumber;
        }
    }
    out += line;
    out += "\r\n";
}

std::string EncodeKm(const std::vector<TextEntry>& entries, const std::string& file,
                     const ToKmOptions& options, Report& report, Stats* stats)
{
    std::string out;
    std::string fields[3];
    for (const TextEntry& e : entries)
        if (EncodeKmFields(e, file, options, report, fields))
            AppendKmLine(fields, e.line, file, report, stats, out);
    return out;
}

std::vector<TextEntry> DecodeKm(const std::string& bytes, const std::string& file, Report& report, Stats* stats)
{
    std::vector<TextEntry> entries;
    int number = 0;
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        ++number;
        const std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (end < bytes.size() && bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
        if (line.empty())
            continue;

        if (stats) {
            ++stats->entries;
            stats->overLong += line.size() > kMaxKmLineBytes;
            if (line.size() > stats->longestBytes) {
                stats->longestBytes = line.size();
                stats->longestLine = number;
            }
        }
        if (line.size() > kMaxKmLineBytes)
            report.Warning(file, number,
                           "the line is " + std::to_string(line.size()) + " bytes long; Lexorin shows up to " +
                               std::to_string(kMaxKmLineBytes) + " bytes of a line whole and splits longer ones");
        if (std::count(line.begin(), line.end(), '/') > 2)
            report.Warning(file, number, "text after the third '/' is not shown by Lexorin");

        const DictEntry split = SplitDictEntry(line);
        if (stats) {
            stats->emptyPhonetic += split.phonetic.empty();
            stats->emptyMeaning += split.meaning.empty();
        }
        TextEntry e;
        e.line = number;
        bool ok = true;
        const std::string* raw[] = {&split.word, &split.phonetic, &split.meaning};
        std::u32string* text[] = {&e.word, &e.phonetic, &e.meaning};
        for (int k : {0, 2}) {
            *text[k] = DecodeCp936(*raw[k]);
            auto badChar = std::find_if(text[k]->begin(), text[k]->end(),
                                        [](char32_t c) { return IsUndecodable(c) || c < 0x20 || c == 0x7F; });
            if (badChar != text[k]->end()) {
                report.Error(file, number,
                             std::string("the ") + kFieldNames[k] + " holds " + Describe(*badChar) +
                                 (IsUndecodable(*badChar) ? ", which is not code page 936 text"
                                                          : ", a control character"));
                ok = false;
            }
        }
        auto badCode = std::find_if(split.phonetic.begin(), split.phonetic.end(), [](char c) {
            auto b = static_cast<unsigned char>(c);
            return b < lex::kFirstFontCode || b > lex::kLastFontCode;
        });
        if (badCode != split.phonetic.end()) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(*badCode));
            report.Error(file, number,
                         std::string("the phonetic holds byte ") + hex + ", which is not a code of the DFPhonetic font");
            ok = false;
        } else {
            e.phonetic = lex::CodesToIpa(split.phonetic);
        }
        if (ok)
            entries.push_back(std::move(e));
    }
    return entries;
}

std::string FormatEntries(const std::vector<TextEntry>& entries, Format format)
{
    const auto csvField = [](const std::u32string& f) {
        std::string s = EncodeUtf8(f);
        if (s.find_first_of(",\"") == std::string::npos)
            return s;
        std::string q = "\"";
        for (char c : s) {
            if (c == '"')
                q += '"';
            q += c;
        }
        return q + "\"";
    };
    std::string out;
    for (const TextEntry& e : entries) {
        if (format == Format::Lines)
            out += Utf8(e.word) + " [" + Utf8(e.phonetic) + "] " + Utf8(e.meaning);
        else if (format == Format::Csv)
            out += csvField(e.word) + "," + csvField(e.phonetic) + "," + csvField(e.meaning);
        else
            out += Utf8(e.word) + "\t" + Utf8(e.phonetic) + "\t" + Utf8(e.meaning);
        out += "\n";
    }
    return out;
}

std::string TextToCp936(const std::string& bytes, const std::string& file, const ToKmOptions& options,
                        Report& report)
{
    const Encoding enc = InputEncoding(bytes, options);
    std::string out;
    for (const TextLine& line : DecodeLines(bytes, enc)) {
        std::string encoded;
        size_t bad = 0;
        if (!EncodeCp936(line.text, encoded, &bad)) {
            const char32_t c = line.text[bad];
            report.Error(file, line.number,
                         Describe(c) + " at character " + std::to_string(bad + 1) +
                             (IsUndecodable(c) ? std::string(" is not valid ") + EncodingName(enc)
                                               : std::string(" has no code in code page 936")));
            continue;
        }
        out += encoded;
        out += "\r\n";
    }
    return out;
}

} // namespace wordlist
