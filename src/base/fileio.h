// Files as the portable core sees them. Paths are code page 936 text, the program's
// own encoding; the Windows backend hands them to the file system as UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lex {

// A file opened for binary reading, shared so that other programs may read and
// write it meanwhile.
class ReadFile {
public:
    ReadFile() = default;
    ~ReadFile() { Close(); }
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_handle != nullptr; }
    // Reads up to size bytes. Returns the count read; 0 at end of file, and also on a
    // read error, which callers treat like the end of the file.
    size_t Read(void* dest, size_t size);
    // Moves to an absolute byte offset; false if the file is not open or refuses.
    bool Seek(int64_t offset);
    // The current byte offset, or -1 when no file is open.
    int64_t Tell() const;
    // The file's size in bytes, or -1.
    int64_t Size() const;
    // When the file's contents were last written, in seconds since 1970-01-01 UTC,
    // or -1.
    int64_t LastWriteTime() const;

private:
    void* m_handle = nullptr;
};

// Reads a whole file. False (out emptied) when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);

// Replaces the file's contents atomically: the bytes go to a temporary file in the
// same folder, which is flushed and then renamed over the target, so a crash leaves
// either the old or the new file. A read-only target is refused and left untouched.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);
// Whether ReplaceFileContents could replace the file now: the target is not read-only
// or a folder, a file can be made beside it, and the target may be replaced. Nothing
// of the target changes.
bool CanReplaceFile(const std::string& path);

bool FileExists(const std::string& path);
// Deletes a file; true when it is gone afterwards (also when there was none).
bool RemoveFile(const std::string& path);

} // namespace lex
