#include "dictionary/dictionary_summary.h"

#include "base/fileio.h"

#include <map>
#include <vector>

namespace lex {

int64_t CountDictionaryEntries(const std::string& path)
{
    ReadFile file;
    if (!file.Open(path))
        return -1;
    std::vector<unsigned char> block(1 << 16);
    int64_t entries = 0;
    bool inLine = false;
    for (size_t n; (n = file.Read(block.data(), block.size())) > 0;) {
        for (size_t i = 0; i < n; ++i) {
            const bool end = block[i] == '\r' || block[i] == '\n';
            entries += !end && !inLine;
            inLine = !end;
        }
    }
    return entries;
}

int64_t CachedDictionaryEntries(const std::string& path)
{
    struct Known {
        int64_t size;
        int64_t written;
        int64_t entries;
    };
    static std::map<std::string, Known> known;
    int64_t size = -1;
    int64_t written = -1;
    {
        ReadFile file;
        if (!file.Open(path))
            return -1;
        size = file.Size();
        written = file.LastWriteTime();
    }
    auto it = known.find(path);
    if (it != known.end() && it->second.size == size && it->second.written == written && size >= 0)
        return it->second.entries;
    const int64_t entries = CountDictionaryEntries(path);
    if (entries >= 0)
        known[path] = Known{size, written, entries};
    return entries;
}

namespace {

// 3849 -> "3,849".
std::string Grouped(int64_t n)
{
    std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

} // namespace

std::string DictionarySummary(const std::string& name, int64_t entries, const StudyCounts* study, SummaryForm form)
{
    std::string out = name;
    if (entries >= 0)
        out += " · " + Grouped(entries) + " 词";
    if (study) {
        out += " · 已掌握 " + Grouped(study->mastered);
        if (form == SummaryForm::Full)
            out += " · 已标记 " + Grouped(study->marked);
    }
    return out;
}

std::string SummariseDictionary(const std::string& programFolder, const std::string& name, StudyDay today,
                                SummaryForm form)
{
    const std::string path = programFolder + "Dictionary\\" + name + ".KM";
    const std::string recordPath = CStudyRecord::PathForDictionary(path);
    StudyCounts counts;
    bool haveRecord = false;
    if (FileExists(recordPath)) {
        CStudyRecord record;
        if (record.Load(recordPath)) {
            counts = record.Count(today);
            haveRecord = true;
        }
    }
    return DictionarySummary(name, CachedDictionaryEntries(path), haveRecord ? &counts : nullptr, form);
}

} // namespace lex
