#include "widgets/bmp_file.h"
#include "base/fileio.h"
#include "base/text.h"
#include "widgets/bmp_preview.h"

namespace lex {

HBITMAP LoadBitmapFile(const std::string& path, int64_t* fileSize)
{
    if (fileSize)
        *fileSize = -1;
    BmpVerdict verdict = BmpVerdict::NotBitmap;
    {
        ReadFile file;
        if (!file.Open(path))
            return nullptr;
        const int64_t size = file.Size();
        if (fileSize)
            *fileSize = size;
        uint8_t header[kBmpHeaderBytes];
        const size_t got = file.Read(header, sizeof header);
        if (size > 0)
            verdict = CheckBitmapHeader(header, got, static_cast<uint64_t>(size), nullptr);
    }
    if (verdict != BmpVerdict::Ok)
        return nullptr;
    return static_cast<HBITMAP>(
        ::LoadImageW(nullptr, Widen(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

} // namespace lex
