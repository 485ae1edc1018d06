// CBarBackground: what the main bar draws behind its toolbar: a bitmap tiled from the
// top-left corner (the built-in tile, or a file the user chose) or, without one, a
// gradient from top to bottom. A file already on show is not decoded again: the bar
// applies its background on every resize step.
#pragma once

#include "framework/gdi.h"

#include <windows.h>

#include <string>

class CBarBackground {
public:
    CBarBackground();
    CBarBackground(const CBarBackground&) = delete;
    CBarBackground& operator=(const CBarBackground&) = delete;

    // The built-in tile, drawn through a memory DC compatible with the bar's.
    void Create(HWND bar);
    void Release();

    // Loads the bitmap file at path (code page 936) unless it is the picture on show;
    // the bar's drawing is held while it changes. FALSE, and nothing changes, when the
    // file is missing or not a bitmap.
    BOOL LoadFile(HWND bar, const char* path);
    // Back to the gradient; the bar is drawn again.
    void Clear(HWND bar);
    // The interface group: the gradient's colours and, with image, the picture file
    // (the built-in tile when it does not load and no picture is on show).
    void Apply(HWND bar, bool image, const std::string& file, COLORREF gradientStart, COLORREF gradientEnd);

    // Fills r of dc (the bar's client area) with the tiles or the gradient.
    void Paint(HDC dc, const RECT& r) const;
    bool HasPicture() const { return m_picture.GetSafeHandle() != nullptr; }

private:
    // The file the picture was loaded from, as it was then.
    struct FileStamp {
        std::string path;
        unsigned long long size = 0;
        unsigned long long lastWrite = 0;
        bool operator==(const FileStamp& o) const
        {
            return path == o.path && size == o.size && lastWrite == o.lastWrite;
        }
    };

    lex::CBitmap m_picture;
    FileStamp m_stamp;
    lex::CMemoryDC m_memDC;
    COLORREF m_gradientStart;
    COLORREF m_gradientEnd;
};
