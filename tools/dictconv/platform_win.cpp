// Windows: code page 936 through the system's own conversion functions, so kmtool.exe
// produces exactly the bytes that Lexorin reads back with the same code page; file
// names go to the file system as UTF-16.
#include "platform.h"
#include "text_codec.h"

#include "base/fileio.h"
#include "base/text.h"

#include <windows.h>
#include <shellapi.h>

namespace kmtool {

namespace {

constexpr UINT kCp936 = 936;

std::wstring ToUtf16(const std::u32string& text)
{
    std::wstring out;
    for (char32_t c : text) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

std::string FromUtf16(const wchar_t* s)
{
    std::u32string text;
    for (; *s; ++s) {
        char32_t u = static_cast<unsigned short>(*s);
        if (u >= 0xD800 && u <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF) {
            text += 0x10000 + ((u - 0xD800) << 10) + (static_cast<unsigned short>(s[1]) - 0xDC00);
            ++s;
        } else {
            text += u;
        }
    }
    return EncodeUtf8(text);
}

// One character in code page 936, or false when it has none. WC_NO_BEST_FIT_CHARS
// keeps Windows from quietly substituting a look-alike.
bool EncodeOne(char32_t c, std::string& out)
{
    const std::wstring w = ToUtf16(std::u32string(1, c));
    char buf[8];
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCp936, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), buf,
                                sizeof buf, nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return false;
    out.append(buf, static_cast<size_t>(n));
    return true;
}

} // namespace

std::u32string DecodeCp936(const std::string& bytes)
{
    std::u32string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += b;
            ++i;
            continue;
        }
        // 0x80 is a character of its own (the euro sign); 0x81-0xFE lead a pair.
        const int len = (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) ? 2 : 1;
        wchar_t w[2];
        int n = MultiByteToWideChar(kCp936, MB_ERR_INVALID_CHARS, bytes.data() + i, len, w, 2);
        if (n == 1) {
            out += static_cast<unsigned short>(w[0]);
            i += static_cast<size_t>(len);
        } else {
            out += kUndecodable + b;
            ++i;
        }
    }
    return out;
}

bool EncodeCp936(const std::u32string& text, std::string& out, size_t* badIndex)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (IsUndecodable(c) || !EncodeOne(c, out)) {
            if (badIndex)
                *badIndex = i;
            return false;
        }
    }
    return true;
}

// The portable file functions take code page 936 names, the program's own encoding.
bool ReadFileBytes(const std::string& path, std::string& out)
{
    return lex::ReadWholeFile(lex::Utf8ToCp936(path), out);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    return lex::ReplaceFileContents(lex::Utf8ToCp936(path), bytes);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    int n = 0;
    LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wargv)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i)
        args.push_back(FromUtf16(wargv[i]));
    LocalFree(wargv);
    return args;
}

void PrepareConsole()
{
    SetConsoleOutputCP(CP_UTF8);
}

} // namespace kmtool
