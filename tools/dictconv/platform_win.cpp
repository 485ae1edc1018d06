// Windows: files through the program's own file functions, which take code page 936
// names and hand them to the file system as UTF-16; the command line is read wide.
#include "platform.h"
#include "base/fileio.h"
#include "base/text.h"
#include "dictionary/text_codec.h"

#include <windows.h>
#include <shellapi.h>

namespace kmtool {

namespace {

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

} // namespace

// The program's file functions take code page 936 names, the program's own encoding.
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
