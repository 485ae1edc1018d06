#include "base/text.h"

#include <windows.h>

namespace lex {

std::wstring Widen(const std::string& cp936)
{
    if (cp936.empty())
        return std::wstring();
    int n = MultiByteToWideChar(kCodePage, 0, cp936.data(), static_cast<int>(cp936.size()), nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(kCodePage, 0, cp936.data(), static_cast<int>(cp936.size()), &out[0], n);
    return out;
}

std::wstring Widen(const char* cp936)
{
    return cp936 ? Widen(std::string(cp936)) : std::wstring();
}

std::string Narrow(const std::wstring& utf16)
{
    if (utf16.empty())
        return std::string();
    int n = WideCharToMultiByte(kCodePage, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kCodePage, 0, utf16.data(), static_cast<int>(utf16.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::string Narrow(const wchar_t* utf16)
{
    return utf16 ? Narrow(std::wstring(utf16)) : std::string();
}

namespace {

std::string Recode(const std::string& in, UINT from, UINT to)
{
    if (in.empty())
        return std::string();
    const int n = MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0)
        return std::string();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(from, 0, in.data(), static_cast<int>(in.size()), &wide[0], n);
    const int m = WideCharToMultiByte(to, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (m <= 0)
        return std::string();
    std::string out(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(to, 0, wide.data(), n, &out[0], m, nullptr, nullptr);
    return out;
}

} // namespace

std::string Cp936ToUtf8(const std::string& cp936)
{
    return Recode(cp936, kCodePage, CP_UTF8);
}

std::string Utf8ToCp936(const std::string& utf8)
{
    return Recode(utf8, CP_UTF8, kCodePage);
}

} // namespace lex
