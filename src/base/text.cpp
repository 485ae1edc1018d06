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

bool NarrowExact(const std::wstring& utf16, std::string* out)
{
    out->clear();
    if (utf16.empty())
        return true;
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, utf16.data(), static_cast<int>(utf16.size()),
                                      nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return false;
    out->assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, utf16.data(), static_cast<int>(utf16.size()), &(*out)[0], n,
                        nullptr, &lossy);
    return !lossy;
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

namespace {

std::wstring CodePointsToUtf16(const std::u32string& text)
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

// One character in code page 936, or false when it has none. WC_NO_BEST_FIT_CHARS
// keeps Windows from quietly substituting a look-alike.
bool EncodeOne(char32_t c, std::string& out)
{
    const std::wstring w = CodePointsToUtf16(std::u32string(1, c));
    char buf[8];
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), buf,
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
        int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data() + i, len, w, 2);
        if (n == 1) {
            out += static_cast<unsigned short>(w[0]);
            i += static_cast<size_t>(len);
        } else {
            out += kUndecodableCodePoint + b;
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
        if (c >= kUndecodableCodePoint || !EncodeOne(c, out)) {
            if (badIndex)
                *badIndex = i;
            return false;
        }
    }
    return true;
}

} // namespace lex
