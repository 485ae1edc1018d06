#include "dictionary/word_list_import.h"

#include "base/dbcs.h"

#include <algorithm>
#include <cctype>

namespace wordlist {

namespace {

// The word as a key: ASCII letters lowered, double-byte characters left whole (their
// trail bytes may look like letters).
std::string WordKey(const std::string& word)
{
    std::string key = word;
    for (size_t i = 0; i < key.size();) {
        const size_t n = lex::Cp936CharLength(key, i);
        if (n == 1)
            key[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(key[i])));
        i += n;
    }
    return key;
}

std::string TrimBytes(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

} // namespace

void CFillIndex::AddKm(const std::string& kmBytes)
{
    size_t start = 0;
    while (start < kmBytes.size()) {
        size_t end = kmBytes.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = kmBytes.size();
        if (end > start) {
            const DictEntry e = SplitDictEntry(kmBytes.substr(start, end - start));
            const std::string word = TrimBytes(e.word);
            if (!word.empty()) {
                Known& known = m_words[WordKey(word)];
                if (known.phonetic.empty())
                    known.phonetic = TrimBytes(e.phonetic);
                if (known.meaning.empty())
                    known.meaning = TrimBytes(e.meaning);
            }
        }
        start = end + 1;
    }
}

const CFillIndex::Known* CFillIndex::Find(const std::string& word) const
{
    const auto it = m_words.find(WordKey(word));
    return it == m_words.end() ? nullptr : &it->second;
}

FileProblem CheckImportBytes(const std::string& bytes)
{
    if (bytes.find_first_not_of(" \t\r\n\f\v") == std::string::npos)
        return FileProblem::Empty;
    const Encoding enc = DetectEncoding(bytes);
    if (enc == Encoding::Utf16Le || enc == Encoding::Utf16Be)
        return FileProblem::None;
    // Text has no NUL and few control characters; pictures, archives and programs
    // have many within their first bytes.
    const size_t sample = std::min<size_t>(bytes.size(), 64 * 1024);
    size_t control = 0;
    for (size_t i = 0; i < sample; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == 0)
            return FileProblem::Binary;
        control += c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f';
    }
    return control * 20 > sample ? FileProblem::Binary : FileProblem::None;
}

std::string DictionaryNameProblem(const std::string& name)
{
    if (TrimBytes(name).empty())
        return "请输入字典的名字。";
    for (size_t i = 0; i < name.size(); i += lex::Cp936CharLength(name, i)) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (lex::Cp936CharLength(name, i) == 2)
            continue;
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos)
            return "字典的名字不能含有 \\ / : * ? \" < > | 和控制字符。";
        if (c >= 0x80)
            return "字典的名字含有无法保存的字符。";
    }
    if (name.back() == '.' || name.back() == ' ' || name.front() == ' ')
        return "字典的名字不能以空格或句点开头或结尾。";
    std::string upper;
    for (char c : name.substr(0, name.find('.')))
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    bool device = std::find(std::begin(kDevices), std::end(kDevices), upper) != std::end(kDevices);
    if (upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) && upper[3] >= '1' &&
        upper[3] <= '9')
        device = true;
    if (device)
        return "这个名字是 Windows 的设备名，不能用作文件名。";
    return std::string();
}

std::string DefaultDictionaryName(const std::string& path)
{
    // The last separator that is a whole character: '\\' can be a trail byte.
    size_t titleStart = 0;
    for (size_t i = 0; i < path.size(); i += lex::Cp936CharLength(path, i))
        if (lex::Cp936CharLength(path, i) == 1 && (path[i] == '\\' || path[i] == '/'))
            titleStart = i + 1;
    std::string title = path.substr(titleStart);
    const size_t dot = title.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        title.erase(dot);
    return title;
}

const char* SkippedLineReason(Fault fault)
{
    switch (fault) {
    case Fault::Undecodable:
        return "含有按所选编码无法识别的字节，请试试另一种编码。";
    case Fault::Syntax:
        return "引号或方括号没有配对。";
    case Fault::Columns:
        return "列数太多；应为“单词、音标、释义”三列，或“单词、释义”两列，或只有单词。";
    case Fault::EmptyWord:
        return "单词一栏是空的。";
    case Fault::Slash:
        return "含有“/”（字典文件用它分隔各栏），请换成“、”或“，”。";
    case Fault::Control:
        return "含有制表符等控制字符。";
    case Fault::Phonetic:
        return "音标里有音标字体没有的符号。";
    case Fault::NoCp936:
        return "单词或释义里有简体中文字符集（GBK）没有的字符。";
    case Fault::Other:
        break;
    }
    return "这一行无法读成词条。";
}

CWordListImport::CWordListImport(std::string bytes, const ToKmOptions& options, const CFillIndex* index)
    : m_bytes(std::move(bytes)), m_options(options), m_index(index), m_report(new Report)
{
    m_parser.reset(new CWordListParser(m_bytes, std::string(), m_options, *m_report));
    m_summary.encoding = m_parser->GetEncoding();
}

double CWordListImport::Progress() const
{
    if (m_done || m_bytes.empty())
        return 1.0;
    return static_cast<double>(m_parser->Offset()) / static_cast<double>(m_bytes.size());
}

bool CWordListImport::Step(int maxLines)
{
    if (m_done)
        return true;
    // A report of its own for each step: a list of a million bad lines must not keep a
    // million messages; only the count and the first one are wanted.
    m_report.reset(new Report);
    m_parser->SetReport(*m_report);
    TextEntry entry;
    std::string fields[3];
    bool more = true;
    for (int n = 0; n < maxLines; ++n) {
        if (!(more = m_parser->Next(entry)))
            break;
        if (!EncodeKmFields(entry, std::string(), m_options, *m_report, fields)) {
            ++m_unwritable;
            continue;
        }
        const CFillIndex::Known* known =
            m_index && (fields[1].empty() || fields[2].empty()) ? m_index->Find(fields[0]) : nullptr;
        if (fields[1].empty()) {
            if (known && !known->phonetic.empty()) {
                fields[1] = known->phonetic;
                ++m_summary.phoneticFilled;
            } else {
                ++m_summary.phoneticEmpty;
            }
        }
        if (fields[2].empty()) {
            if (known && !known->meaning.empty()) {
                fields[2] = known->meaning;
                ++m_summary.meaningFilled;
            } else {
                ++m_summary.meaningEmpty;
            }
        }
        AppendKmLine(fields, entry.line, std::string(), *m_report, nullptr, m_km);
        ++m_summary.entries;
        if (m_summary.preview.size() < kPreviewEntries)
            m_summary.preview.push_back({fields[0], fields[1], fields[2]});
    }
    m_summary.skipped = m_parser->Rejected() + m_unwritable;
    std::string message;
    if (m_summary.firstSkippedLine == 0)
        m_report->FirstError(&m_summary.firstSkippedLine, &message, &m_summary.firstSkippedFault);
    m_summary.format = m_parser->GetFormat();
    if (!more) {
        m_done = true;
        std::string().swap(m_bytes); // the list is no longer needed
    }
    return m_done;
}

} // namespace wordlist
