#include "settings/ini_file.h"

#include "base/fileio.h"
#include "base/dbcs.h"
#include "base/text.h"
#include "base/utf8.h"
#include "settings/value_conv.h"

#include <vector>

namespace lex {

namespace {

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s, size_t begin, size_t end)
{
    while (begin < end && IsSpaceOrTab(s[begin]))
        ++begin;
    while (end > begin && IsSpaceOrTab(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

std::string Trim(const std::string& s) { return Trim(s, 0, s.size()); }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

std::vector<std::string> SplitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

size_t FirstNonBlank(const std::string& line)
{
    size_t i = 0;
    while (i < line.size() && IsSpaceOrTab(line[i]))
        ++i;
    return i;
}

// "[name]" after optional blanks; a header without ']' runs to the end of the line.
bool ParseSectionHeader(const std::string& line, std::string& name)
{
    const size_t open = FirstNonBlank(line);
    if (open >= line.size() || line[open] != '[')
        return false;
    size_t close = line.find(']', open + 1);
    if (close == std::string::npos)
        close = line.size();
    name = Trim(line, open + 1, close);
    return true;
}

// "key = value"; comment lines and lines without a key name are not keys.
bool ParseKeyLine(const std::string& line, std::string& key, std::string& value)
{
    const size_t first = FirstNonBlank(line);
    if (first >= line.size() || line[first] == ';')
        return false;
    const size_t eq = line.find('=', first);
    if (eq == std::string::npos)
        return false;
    key = Trim(line, first, eq);
    if (key.empty())
        return false;
    value = Trim(line, eq + 1, line.size());
    return true;
}

// Where a key sits in the file's lines.
struct KeyLocation {
    bool sectionFound = false;
    size_t insertAt = 0;    // after the last non-blank line of the section
    bool keyFound = false;
    size_t keyLine = 0;
    std::string value;
};

KeyLocation Locate(const std::vector<std::string>& lines, const std::string& section,
                   const std::string& key)
{
    KeyLocation loc;
    std::string name, value;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (ParseSectionHeader(lines[i], name)) {
            if (loc.sectionFound)
                break; // only the first section of that name counts
            if (EqualsNoCase(name, section)) {
                loc.sectionFound = true;
                loc.insertAt = i + 1;
            }
            continue;
        }
        if (!loc.sectionFound)
            continue;
        if (FirstNonBlank(lines[i]) < lines[i].size())
            loc.insertAt = i + 1;
        if (!loc.keyFound && ParseKeyLine(lines[i], name, value) && EqualsNoCase(name, key)) {
            loc.keyFound = true;
            loc.keyLine = i;
            loc.value = value;
        }
    }
    return loc;
}

// What a 256-byte buffer can take, ending on a character boundary.
std::string CutToBuffer(const std::string& value)
{
    if (value.size() <= kProfileValueMax)
        return value;
    size_t end = 0;
    while (end < value.size()) {
        const size_t next = end + Cp936CharLength(value, end);
        if (next > kProfileValueMax)
            break;
        end = next;
    }
    return value.substr(0, end);
}

bool IsWritableSectionName(const std::string& name)
{
    return !name.empty() && name.find(']') == std::string::npos && !HasLineBreak(name);
}

bool IsWritableKeyName(const std::string& name)
{
    return !name.empty() && name[0] != '[' && name[0] != ';'
        && name.find('=') == std::string::npos && !HasLineBreak(name);
}

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";

bool StartsWith(const std::string& bytes, const char* prefix)
{
    return bytes.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

} // namespace

bool CIniDocument::Load(const std::string& path)
{
    m_encoding = IniEncoding::Cp936;
    m_lines.clear();
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return !FileExists(path);
    if (StartsWith(bytes, kUtf16LeBom)) {
        m_encoding = IniEncoding::Utf16Le;
        bytes = Utf16LeToUtf8(bytes.substr(2));
    } else if (StartsWith(bytes, kUtf8Bom)) {
        m_encoding = IniEncoding::Utf8;
        bytes.erase(0, 3);
    }
    m_lines = SplitLines(bytes);
    return true;
}

std::string CIniDocument::ToText(const std::string& cp936) const
{
    return m_encoding == IniEncoding::Cp936 ? cp936 : Cp936ToUtf8(cp936);
}

std::string CIniDocument::FromText(const std::string& text) const
{
    return m_encoding == IniEncoding::Cp936 ? text : Utf8ToCp936(text);
}

std::string CIniDocument::Get(const std::string& section, const std::string& key,
                              const std::string& defaultValue) const
{
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    if (sectionName.empty() || keyName.empty())
        return CutToBuffer(defaultValue);
    const KeyLocation loc = Locate(m_lines, ToText(sectionName), ToText(keyName));
    return CutToBuffer(loc.keyFound ? FromText(loc.value) : defaultValue);
}

bool CIniDocument::Has(const std::string& section, const std::string& key) const
{
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    return !sectionName.empty() && !keyName.empty()
        && Locate(m_lines, ToText(sectionName), ToText(keyName)).keyFound;
}

bool CIniDocument::Set(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    if (!IsWritableSectionName(sectionName) || !IsWritableKeyName(keyName) || HasLineBreak(value))
        return false;
    const std::string sectionText = ToText(sectionName);
    const std::string keyText = ToText(keyName);
    const KeyLocation loc = Locate(m_lines, sectionText, keyText);
    std::string keyLine = keyText + "=" + ToText(value);
    if (loc.keyFound) {
        m_lines[loc.keyLine] = std::move(keyLine);
    } else if (loc.sectionFound) {
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(loc.insertAt), std::move(keyLine));
    } else {
        if (!m_lines.empty() && FirstNonBlank(m_lines.back()) < m_lines.back().size())
            m_lines.emplace_back(); // a blank line between sections, for the reader's eye
        m_lines.push_back("[" + sectionText + "]");
        m_lines.push_back(std::move(keyLine));
    }
    return true;
}

std::string CIniDocument::Bytes() const
{
    const std::string text = JoinLines(m_lines);
    switch (m_encoding) {
    case IniEncoding::Utf16Le:
        return kUtf16LeBom + Utf8ToUtf16Le(text);
    case IniEncoding::Utf8:
        return kUtf8Bom + text;
    case IniEncoding::Cp936:
        break;
    }
    return text;
}

bool CIniDocument::Save(const std::string& path) const
{
    return ReplaceFileContents(path, Bytes());
}

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, const std::string& path)
{
    CIniDocument doc;
    doc.Load(path);
    return doc.Get(section, key, defaultValue);
}

int GetProfileInt(const std::string& section, const std::string& key, int defaultValue,
                  const std::string& path)
{
    const std::string text = GetProfileString(section, key, std::string(), path);
    return text.empty() ? defaultValue : ParseDecimal(text);
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path)
{
    CIniDocument doc;
    // A file that exists but cannot be read must not be replaced by one holding only
    // this key.
    if (!doc.Load(path))
        return false;
    return doc.Set(section, key, value) && doc.Save(path);
}

} // namespace lex
