// Importing a learner's own word list as a dictionary: the checks on the file and on
// the new dictionary's name, the filling of missing phonetics and meanings from the
// dictionaries the program already has, and the conversion in steps, so that a list
// of a million lines can show progress and be cancelled. The conversion itself is the
// one kmtool uses (word_list.h).
#pragma once

#include "dictionary/entry.h"
#include "dictionary/word_list.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace wordlist {

// What the dictionaries the program has know of words: for each word (ASCII letter
// case aside), the first phonetic (font codes) and the first meaning found among the
// .KM files added, in the order they were added.
class CFillIndex {
public:
    struct Known {
        std::string phonetic; // font codes
        std::string meaning;  // code page 936
    };
    // Adds the entries of one .KM file's bytes.
    void AddKm(const std::string& kmBytes);
    // The word (code page 936) as known, or nullptr.
    const Known* Find(const std::string& word) const;
    size_t Size() const { return m_words.size(); }

private:
    std::unordered_map<std::string, Known> m_words;
};

// Why a file cannot be imported at all, decided from its bytes before anything else.
enum class FileProblem { None, Empty, Binary };
FileProblem CheckImportBytes(const std::string& bytes);

// Why a name cannot be a dictionary's (code page 936 text): empty when it can. A name
// is a file name without its ".KM": no characters Windows forbids in file names, no
// control characters, no trailing dot or blank, no device name (CON, NUL, COM1 ...).
std::string DictionaryNameProblem(const std::string& name);
// The default name for a list's file (a path with '\\' or '/'): its title without the
// extension.
std::string DefaultDictionaryName(const std::string& path);

// Why a line was skipped, as the preview tells the user (code page 936).
const char* SkippedLineReason(Fault fault);

struct ImportSummary {
    Encoding encoding = Encoding::Utf8;
    Format format = Format::Auto; // as read (Auto only for a list without entry lines)
    int entries = 0;
    int phoneticFilled = 0; // missing from the list, taken from the dictionaries
    int meaningFilled = 0;
    int phoneticEmpty = 0;  // missing from both
    int meaningEmpty = 0;
    int skipped = 0;        // lines that could not become entries
    int firstSkippedLine = 0;
    Fault firstSkippedFault = Fault::Other;
    std::vector<DictEntry> preview; // the first entries, as the .KM holds them
};

// One import's conversion, a step at a time. The bytes are moved in and kept until the
// conversion ends; the dictionary grows as it goes, nothing else of the list is kept.
class CWordListImport {
public:
    static constexpr size_t kPreviewEntries = 50;

    // index may be null (nothing is filled); it must outlive the import.
    CWordListImport(std::string bytes, const ToKmOptions& options, const CFillIndex* index);
    // Converts up to maxLines more entry lines; true once the whole list is done.
    bool Step(int maxLines);
    bool Done() const { return m_done; }
    // Share of the list's bytes read, 0 to 1.
    double Progress() const;
    const ImportSummary& Summary() const { return m_summary; }
    // The .KM bytes (code page 936, CR LF); complete once Done().
    const std::string& Km() const { return m_km; }

private:
    std::string m_bytes;
    ToKmOptions m_options;
    const CFillIndex* m_index;
    std::unique_ptr<Report> m_report;
    std::unique_ptr<CWordListParser> m_parser;
    ImportSummary m_summary;
    std::string m_km;
    int m_unwritable = 0; // entries the .KM cannot hold
    bool m_done = false;
};

} // namespace wordlist
