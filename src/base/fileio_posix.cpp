// POSIX backend of the portable file functions, for the native build and its tests.
#include "base/fileio.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lex {

namespace {
FILE* AsFile(void* h) { return static_cast<FILE*>(h); }

// A folder, or a file without write permission, is never replaced.
bool RefusedTarget(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR));
}

// Where the new contents are written before they are renamed over the target.
std::string ReplacementPath(const std::string& path)
{
    return path + ".tmp~";
}
} // namespace

bool ReadFile::Open(const std::string& path)
{
    Close();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
        std::fclose(f);
        return false;
    }
    m_handle = f;
    return true;
}

void ReadFile::Close()
{
    if (m_handle) {
        std::fclose(AsFile(m_handle));
        m_handle = nullptr;
    }
}

size_t ReadFile::Read(void* dest, size_t size)
{
    if (!m_handle || size == 0)
        return 0;
    return std::fread(dest, 1, size, AsFile(m_handle));
}

bool ReadFile::Seek(int64_t offset)
{
    if (!m_handle || offset < 0)
        return false;
    std::clearerr(AsFile(m_handle));
    return fseeko(AsFile(m_handle), static_cast<off_t>(offset), SEEK_SET) == 0;
}

int64_t ReadFile::Tell() const
{
    if (!m_handle)
        return -1;
    return static_cast<int64_t>(ftello(AsFile(m_handle)));
}

int64_t ReadFile::Size() const
{
    struct stat st {};
    if (!m_handle || fstat(fileno(AsFile(m_handle)), &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_size);
}

int64_t ReadFile::LastWriteTime() const
{
    struct stat st {};
    if (!m_handle || fstat(fileno(AsFile(m_handle)), &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_mtime);
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes)
{
    if (RefusedTarget(path))
        return false;
    std::string tmp = ReplacementPath(path);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const char* p = bytes.data();
    size_t left = bytes.size();
    bool ok = true;
    while (left > 0) {
        ssize_t w = ::write(fd, p, left);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        p += w;
        left -= static_cast<size_t>(w);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(tmp.c_str(), path.c_str()) == 0)
        return true;
    std::remove(tmp.c_str());
    return false;
}

bool RemoveFile(const std::string& path)
{
    return std::remove(path.c_str()) == 0 || errno == ENOENT;
}

bool CanReplaceFile(const std::string& path)
{
    if (RefusedTarget(path))
        return false;
    // The folder takes a new file; renaming over the old one needs nothing more here.
    const std::string tmp = ReplacementPath(path);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    std::remove(tmp.c_str());
    return true;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace lex
