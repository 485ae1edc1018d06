// Conversions between word lists and .KM dictionaries, shared by the import and
// kmtool. Everything here works on bytes in memory and reports through a Report, so
// the tests drive it directly.
#pragma once

#include "dictionary/text_codec.h"

#include <string>
#include <vector>

namespace wordlist {

// Messages of one run, each "file:line: error: text" (or warning). Messages() lists
// them by file and line number, whichever step of the conversion found them.
class Report {
public:
    void Error(const std::string& file, int line, const std::string& text);
    void Warning(const std::string& file, int line, const std::string& text);
    int Errors() const { return m_errors; }
    int Warnings() const { return m_warnings; }
    std::vector<std::string> Messages() const;

private:
    struct Message {
        size_t file; // index in m_files: files in the order they were first named
        int line;
        std::string text;
    };
    void Add(const std::string& file, int line, const char* kind, const std::string& text);
    std::vector<std::string> m_files;
    std::vector<Message> m_messages;
    int m_errors = 0;
    int m_warnings = 0;
};

enum class Format { Auto, Tsv, Csv, Lines, Km };

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
// whose first visible character is '#' are comments.
std::vector<TextEntry> ParseWordList(const std::string& bytes, const std::string& file,
                                     const ToKmOptions& options, Report& report);

// Encodes entries as a .KM dictionary: code page 936, "word/phonetic/meaning", CR LF.
// Entries with a character that code page 936 or the phonetic font cannot hold, or
// with a '/' in a field, are reported as errors and not written.
std::string EncodeKm(const std::vector<TextEntry>& entries, const std::string& file,
                     const ToKmOptions& options, Report& report, Stats* stats);

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

} // namespace wordlist
