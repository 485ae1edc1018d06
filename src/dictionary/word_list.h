// Conversions between word lists and .KM dictionaries, shared by the import and
// kmtool. Everything here works on bytes in memory and reports through a Report, so
// the tests drive it directly.
#pragma once

#include "dictionary/text_codec.h"

#include <string>
#include <vector>

namespace wordlist {

// What kind of fault an error is, so that a caller can tell the user in words of its own
// (the messages themselves are English, for kmtool's console).
enum class Fault {
    Other,
    Undecodable,  // bytes the input encoding does not hold
    Syntax,       // an unclosed quote or bracket, text after a closing quote
    Columns,      // more than three fields
    EmptyWord,
    Slash,        // a '/' in a field (it separates the fields of a .KM line)
    Control,      // a control character in a field
    Phonetic,     // a phonetic symbol the phonetic font lacks
    NoCp936,      // a character of the word or meaning that code page 936 lacks
};

// Messages of one run, each "file:line: error: text" (or warning). Messages() lists
// them by file and line number, whichever step of the conversion found them.
class Report {
public:
    void Error(const std::string& file, int line, const std::string& text, Fault fault = Fault::Other);
    void Warning(const std::string& file, int line, const std::string& text);
    int Errors() const { return m_errors; }
    int Warnings() const { return m_warnings; }
    std::vector<std::string> Messages() const;
    // The first error reported (in the order they came): its line number and text
    // without the file name, and (if asked for) its kind; false when there was none.
    bool FirstError(int* line, std::string* text, Fault* fault = nullptr) const;

private:
    struct Message {
        size_t file; // index in m_files: files in the order they were first named
        int line;
        std::string text;
        bool error;
        Fault fault;
        size_t textStart; // where the text proper starts in text
    };
    void Add(const std::string& file, int line, const char* kind, const std::string& text, Fault fault);
    std::vector<std::string> m_files;
    std::vector<Message> m_messages;
    int m_errors = 0;
    int m_warnings = 0;
};

// Anki is Anki's plain-text note export: "#separator:" and "#html:" header lines, the
// fields split at that separator (quoted as in CSV), HTML tags and entities removed when
// the header says the fields hold HTML, and the columns the "#tags column:", "#guid
// column:", "#notetype column:" and "#deck column:" headers name left out. Auto takes a
// file whose leading comment lines hold such a header as an Anki export.
enum class Format { Auto, Tsv, Csv, Lines, Km, Anki };

// By extension (.tsv/.tab, .csv, .km; case does not matter), otherwise Auto.
Format FormatFromFileName(const std::string& name);
bool ParseFormatName(const std::string& name, Format* out);
const char* FormatName(Format f);

// One accepted entry, as Unicode text; the phonetic is IPA.
struct TextEntry {
    int line = 0;
    std::u32string word;
    std::u32string phonetic;
    std::u32string meaning;
};

// The longest line Lexorin's reader hands out whole (its 2048-byte buffer less the
// terminating zero and one byte its overflow check keeps free).
constexpr size_t kMaxKmLineBytes = 2046;

struct Stats {
    int entries = 0;
    int emptyPhonetic = 0;
    int emptyMeaning = 0;
    size_t longestBytes = 0;  // longest .KM line in bytes, without its line end
    int longestLine = 0;      // its line number in the input
    int overLong = 0;         // lines over kMaxKmLineBytes
};

struct ToKmOptions {
    Format format = Format::Auto; // Auto: guessed from the first entry line
    bool skipHeader = false;      // the first line names the columns
    bool rawPhonetic = false;     // the phonetic column already holds font codes
    bool encodingGiven = false;   // use encoding instead of recognising it
    Encoding encoding = Encoding::Utf8;
};

// Parses a word list (any supported encoding and format) into entries. Lines that do
// not parse are reported as errors and left out of the result; blank lines and lines
// whose first visible character is '#' are comments. In plain lines a line without
// '[' is the word alone, unless it holds Chinese (then its meaning lacks the brackets).
std::vector<TextEntry> ParseWordList(const std::string& bytes, const std::string& file,
                                     const ToKmOptions& options, Report& report);

// The same one entry at a time, for converting a large list in steps. The bytes must
// outlive the parser.
class CWordListParser {
public:
    CWordListParser(const std::string& bytes, const std::string& file, const ToKmOptions& options,
                    Report& report);
    // The next accepted entry; false at the end.
    bool Next(TextEntry& entry);
    // Bytes read so far, of Size().
    size_t Offset() const { return m_lines.Offset(); }
    size_t Size() const { return m_size; }
    Encoding GetEncoding() const { return m_encoding; }
    // The format the lines are read in: the one asked for, or once the first entry line
    // (or an Anki header) was seen, the one recognised; Auto before that.
    Format GetFormat() const { return m_format; }
    // Lines that were neither entries, blank nor comments.
    int Rejected() const { return m_rejected; }
    // A report to use from now on (a caller going in steps may start a fresh one for
    // each step, keeping only what it needs of the last).
    void SetReport(Report& report) { m_report = &report; }

private:
    bool ReadAnkiHeader(const std::u32string& trimmed);
    void Reject(int line, const std::string& text, Fault fault);

    std::string m_file;
    ToKmOptions m_options;
    Report* m_report;
    size_t m_size;
    Encoding m_encoding;
    CLineSplitter m_lines;
    Format m_format;
    bool m_headerPending;
    bool m_entrySeen = false;
    int m_rejected = 0;
    // Anki's header.
    char32_t m_separator = U'\t';
    bool m_html = false;
    std::vector<int> m_metaColumns; // 1-based, the columns that are no note fields
};

// Removes HTML from a field of Anki's export: tags go (a line break or block ends
// leaves a blank), character references and the common named entities become their
// characters, "[sound:...]" references go, and runs of blanks become one.
std::u32string StripAnkiHtml(const std::u32string& field);

// Encodes entries as a .KM dictionary: code page 936, "word/phonetic/meaning", CR LF.
// Entries with a character that code page 936 or the phonetic font cannot hold, or
// with a '/' in a field, are reported as errors and not written.
std::string EncodeKm(const std::vector<TextEntry>& entries, const std::string& file,
                     const ToKmOptions& options, Report& report, Stats* stats);

// One entry's three .KM fields (code page 936, the phonetic in font codes); false, with
// the errors reported, when the entry cannot be written.
bool EncodeKmFields(const TextEntry& entry, const std::string& file, const ToKmOptions& options, Report& report,
                    std::string fields[3]);
// Adds one .KM line of fields to out (CR LF), warning about an over-long line and
// counting it in stats (if given).
void AppendKmLine(const std::string fields[3], int lineNumber, const std::string& file, Report& report,
                  Stats* stats, std::string& out);

// Reads a .KM dictionary back into entries with IPA. Empty lines are skipped as
// Lexorin skips them; undecodable bytes are errors.
std::vector<TextEntry> DecodeKm(const std::string& bytes, const std::string& file, Report& report,
                                Stats* stats);

// UTF-8 text of the entries: TSV ("word\tIPA\tmeaning") or "word [IPA] meaning" lines.
std::string FormatEntries(const std::vector<TextEntry>& entries, Format format);

// Re-encodes a text file (any supported input encoding) in code page 936 with CR LF
// line ends; characters that code page 936 lacks are errors.
std::string TextToCp936(const std::string& bytes, const std::string& file, const ToKmOptions& options,
                        Report& report);

// The encoding a file is read in: the one the options name, or the recognised one.
Encoding InputEncoding(const std::string& bytes, const ToKmOptions& options);

// s without the blanks at either end: spaces, tabs, the ideographic and the no-break
// space, and a stray byte-order mark.
std::u32string Trim(const std::u32string& s);

} // namespace wordlist
