#include "banner/canvas_items.h"

#include <new>

CCanvasItems::~CCanvasItems() = default;

void CCanvasItems::InvalidateIfWindow()
{
    // Asking a missing window to repaint must do nothing (a null window handle would
    // otherwise stand for the whole desktop).
    if (!m_removingAll && CanvasWindowExists())
        CanvasInvalidateAll();
}

bool CCanvasItems::SetItemAt(int index, const CBannerItem& item)
{
    if (index < 0 || index > GetItemCount() || item.text.empty())
        return false;
    const bool append = index == GetItemCount();
    if (!append)
        RemoveItemAt(index);
    // An override of RemoveItemAt may have changed the list in other ways.
    if (index > GetItemCount())
        return false;
    try {
        auto copy = std::make_unique<CBannerItem>(item);
        m_items.insert(m_items.begin() + index, std::move(copy));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!append)
        InvalidateIfWindow();
    else if (CanvasWindowExists())
        CanvasInvalidateAppended();
    return true;
}

CBannerItem CCanvasItems::GetItemAt(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return CBannerItem();
    return *m_items[static_cast<size_t>(index)];
}

bool CCanvasItems::AddText(const char* text, uint32_t style, uint32_t backColor)
{
    return AddItem(CBannerItem(text, style, backColor));
}

bool CCanvasItems::AddItem(const CBannerItem& item) { return SetItemAt(GetItemCount(), item); }

bool CCanvasItems::RemoveItemAt(int index)
{
    if (index < 0 || index >= GetItemCount())
        return false;
    m_items.erase(m_items.begin() + index);
    InvalidateIfWindow();
    return true;
}

void CCanvasItems::RemoveAllItems()
{
    m_removingAll = true;
    while (GetItemCount() > 0) {
        const int before = GetItemCount();
        // An override that refuses to remove must not keep this loop going for ever.
        if (!RemoveItemAt(before - 1) || GetItemCount() >= before)
            break;
    }
    m_removingAll = false;
    InvalidateIfWindow();
}
