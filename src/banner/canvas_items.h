// The banner's item list: an ordered list of owned items, index 0 leftmost. The
// Windows canvas window derives from this class and supplies the two window hooks;
// without a window, list changes simply skip the repaint.
#pragma once

#include "banner/banner_item.h"

#include <memory>
#include <vector>

class CCanvasItems {
public:
    CCanvasItems() = default;
    virtual ~CCanvasItems();
    CCanvasItems(const CCanvasItems&) = delete;
    CCanvasItems& operator=(const CCanvasItems&) = delete;

    // The six list operations, in this order, each reaching the others through the
    // virtual table, so that an override in a derived class changes them all.

    // Replaces the item at index (removing the old one with RemoveItemAt first) or, at
    // index == count, appends. False, list unchanged, for an index outside 0..count or
    // an empty text. A replacement repaints the whole control, an append what the new
    // item occupies (CanvasInvalidateAppended).
    virtual bool SetItemAt(int index, const CBannerItem& item);
    // A copy of the item; an empty default item for an index out of range.
    virtual CBannerItem GetItemAt(int index) const;
    virtual bool AddText(const char* text, uint32_t style, uint32_t backColor);
    // SetItemAt(count, item): what the word feed calls for every item.
    virtual bool AddItem(const CBannerItem& item);
    virtual bool RemoveItemAt(int index);
    // Removes from the last item to the first, then repaints once.
    virtual void RemoveAllItems();

    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    // The item itself, for painting without a copy; index must be in range.
    const CBannerItem& ItemRef(int index) const { return *m_items[static_cast<size_t>(index)]; }

protected:
    // Whether the control's window exists.
    virtual bool CanvasWindowExists() const { return false; }
    // Invalidates the whole client area with background erase; only called while the
    // window exists.
    virtual void CanvasInvalidateAll() {}
    // An item was appended after the others, which stay where they are: invalidates
    // what the new item occupies; by default the whole client area. Only called while
    // the window exists.
    virtual void CanvasInvalidateAppended() { CanvasInvalidateAll(); }

private:
    void InvalidateIfWindow();

    std::vector<std::unique_ptr<CBannerItem>> m_items;
    // RemoveAllItems is under way: the removals it makes repaint nothing on their own.
    bool m_removingAll = false;
};
