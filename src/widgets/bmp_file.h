// Loading a bitmap file as a device-independent section, after a look at its header:
// a file that is not a bitmap, is cut short, or claims more pixels than we decode is
// refused without being decoded, so no caller can stall or run out of memory on it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace lex {

// The bitmap in the file (code page 936 path) at its natural size, or nullptr. The
// caller owns the bitmap. fileSize, when given, receives the file's size in bytes
// (-1 when it could not be opened).
HBITMAP LoadBitmapFile(const std::string& path, int64_t* fileSize = nullptr);

} // namespace lex
