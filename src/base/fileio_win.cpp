// Windows backend of the portable file functions: UTF-16 paths, deny-none sharing,
// and an atomic replace through MoveFileEx.
#include "base/fileio.h"
#include "base/text.h"

#include <windows.h>

namespace lex {

namespace {
HANDLE AsHandle(void* h) { return static_cast<HANDLE>(h); }
}

bool ReadFile::Open(const std::string& path)
{
    Close();
    HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_handle = h;
    return true;
}

void ReadFile::Close()
{
    if (m_handle) {
        CloseHandle(AsHandle(m_handle));
        m_handle = nullptr;
    }
}

size_t ReadFile::Read(void* dest, size_t size)
{
    if (!m_handle || size == 0)
        return 0;
    DWORD got = 0;
    if (!::ReadFile(AsHandle(m_handle), dest, static_cast<DWORD>(size), &got, nullptr))
        return 0;
    return got;
}

bool ReadFile::Seek(int64_t offset)
{
    if (!m_handle || offset < 0)
        return false;
    LARGE_INTEGER li;
    li.QuadPart = offset;
    return SetFilePointerEx(AsHandle(m_handle), li, nullptr, FILE_BEGIN) != 0;
}

int64_t ReadFile::Tell() const
{
    if (!m_handle)
        return -1;
    LARGE_INTEGER zero, pos;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(AsHandle(m_handle), zero, &pos, FILE_CURRENT))
        return -1;
    return pos.QuadPart;
}

int64_t ReadFile::Size() const
{
    LARGE_INTEGER size;
    if (!m_handle || !GetFileSizeEx(AsHandle(m_handle), &size))
        return -1;
    return size.QuadPart;
}

int64_t ReadFile::LastWriteTime() const
{
    FILETIME written;
    if (!m_handle || !GetFileTime(AsHandle(m_handle), nullptr, nullptr, &written))
        return -1;
    ULARGE_INTEGER ticks; // 100 ns steps since 1601-01-01
    ticks.LowPart = written.dwLowDateTime;
    ticks.HighPart = written.dwHighDateTime;
    constexpr uint64_t kTicksPerSecond = 10000000;
    constexpr uint64_t kSeconds1601To1970 = 11644473600;
    uint64_t seconds = ticks.QuadPart / kTicksPerSecond;
    if (seconds < kSeconds1601To1970)
        return -1;
    return static_cast<int64_t>(seconds - kSeconds1601To1970);
}

namespace {

// A read-only file or a folder is never replaced. The rename alone would refuse both on
// Windows, but Wine run as root lets it through over a read-only file.
bool RefusedTarget(const std::wstring& target)
{
    DWORD attrs = GetFileAttributesW(target.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

// Where the new contents are written before they are renamed over the target.
std::wstring ReplacementPath(const std::wstring& target)
{
    return target + L".tmp~";
}

} // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes)
{
    std::wstring target = Widen(path);
    if (RefusedTarget(target))
        return false;
    std::wstring tmp = ReplacementPath(target);
    HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                written == bytes.size());
    ok = ok && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok && MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(tmp.c_str());
    return false;
}

bool RemoveFile(const std::string& path)
{
    if (DeleteFileW(Widen(path).c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool CanReplaceFile(const std::string& path)
{
    std::wstring target = Widen(path);
    if (RefusedTarget(target))
        return false;
    // The folder takes a new file (gone again when the handle closes)...
    HANDLE h = CreateFileW(ReplacementPath(target).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    // ...and the old file may be deleted, which renaming over it takes.
    HANDLE old = CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (old == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    CloseHandle(old);
    return true;
}

bool FileExists(const std::string& path)
{
    DWORD attrs = GetFileAttributesW(Widen(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace lex
