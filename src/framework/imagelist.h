// CImageList: an owned image list (ImageList_*); move-only, destroyed with the object.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <utility>

namespace lex {

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    CImageList(CImageList&& other) noexcept : m_hImageList(std::exchange(other.m_hImageList, nullptr)) {}
    CImageList& operator=(CImageList&& other) noexcept
    {
        if (this != &other)
            Attach(std::exchange(other.m_hImageList, nullptr));
        return *this;
    }

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    explicit operator bool() const { return m_hImageList != nullptr; }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow)
    {
        Attach(ImageList_Create(cx, cy, flags, initial, grow));
        return m_hImageList != nullptr;
    }
    // A 32-bit list of cx-wide images cut from a bitmap resource, with mask colour
    // mask. (The bitmap is loaded at the screen's depth and masked by exact colour;
    // loading a palette bitmap straight into a list can mask by palette index.)
    BOOL CreateFromBitmap(HINSTANCE instance, UINT bitmapId, int cx, COLORREF mask)
    {
        DeleteImageList();
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0));
        BITMAP info = {};
        if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || cx <= 0) {
            if (bitmap)
                ::DeleteObject(bitmap);
            return FALSE;
        }
        if (Create(cx, info.bmHeight, ILC_COLOR32 | ILC_MASK, info.bmWidth / cx, 1) && Add(bitmap, mask) < 0)
            DeleteImageList();
        ::DeleteObject(bitmap);
        return m_hImageList != nullptr;
    }
    // An independent copy of another list (nothing when other is empty).
    BOOL CreateCopy(HIMAGELIST other)
    {
        Attach(other ? ImageList_Duplicate(other) : nullptr);
        return m_hImageList != nullptr;
    }
    void Attach(HIMAGELIST list)
    {
        DeleteImageList();
        m_hImageList = list;
    }
    HIMAGELIST Detach() { return std::exchange(m_hImageList, nullptr); }
    void DeleteImageList()
    {
        if (m_hImageList)
            ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }

    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    BOOL GetIconSize(int* cx, int* cy) const { return ImageList_GetIconSize(m_hImageList, cx, cy); }
    int Add(HBITMAP bitmap, COLORREF mask) { return ImageList_AddMasked(m_hImageList, bitmap, mask); }
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    BOOL Remove(int index) { return ImageList_Remove(m_hImageList, index); }
    // A new icon of image index that the caller destroys; nullptr when there is none.
    HICON ExtractIcon(int index) const
    {
        if (!m_hImageList || index < 0 || index >= GetImageCount())
            return nullptr;
        return ImageList_GetIcon(m_hImageList, index, ILD_TRANSPARENT);
    }

private:
    HIMAGELIST m_hImageList = nullptr;
};

} // namespace lex
