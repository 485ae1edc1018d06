// Windows: file names go to the file system as UTF-16 (code page 936 text is
// converted by base/text, the same functions Lexorin reads it back with).
#include "platform.h"
#include "dictionary/text_codec.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace kmtool {

namespace {

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

std::wstring WidePath(const std::string& utf8)
{
    return ToUtf16(DecodeUtf8(utf8));
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

} // namespace

bool ReadFileBytes(const std::string& path, std::string& out)
{
    out.clear();
    std::FILE* f = _wfopen(WidePath(path).c_str(), L"rb");
    if (!f)
        return false;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    const std::wstring target = WidePath(path);
    const std::wstring tmp = target + L".kmtool-tmp";
    std::FILE* f = _wfopen(tmp.c_str(), L"wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok && MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(tmp.c_str());
    return false;
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
