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

} // namespace lex
