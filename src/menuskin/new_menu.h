// CNewMenu: a menu whose items are owner-drawn by the flat theme, with icons taken from
// a toolbar resource. Loading converts every item to an owner-drawn one carrying a
// CNewMenuItemData; each popup gets its own CNewMenu. Tracking a popup arms the
// thread's menu-window hook, which gives the menu window its flat frame and shadow.
#pragma once

#include "framework/dpi.h"
#include "framework/menu.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

// The icons of one toolbar resource: three images per button (plain, darkened,
// greyed) and the buttons' command ids. Shared by the items that show them; the
// process-wide list keeps one object per resource.
class CNewMenuIcons {
public:
    // The mask colour that means "the colour of the bitmap's top-left pixel".
    static constexpr COLORREF kMaskFromTopLeft = 0xFF000000;

    CNewMenuIcons() = default;
    ~CNewMenuIcons();
    CNewMenuIcons(const CNewMenuIcons&) = delete;
    CNewMenuIcons& operator=(const CNewMenuIcons&) = delete;

    // Finds or loads the icons of toolbar `id` in `module` (0: the application); the
    // list keeps them for the life of the process. nullptr when the toolbar or its
    // bitmap cannot be loaded.
    // art names the strips of the toolbar's pictures drawn at bigger sizes (none: only
    // the resource's own); the one drawn for dpi is loaded.
    static CNewMenuIcons* FromToolBar(UINT id, HMODULE module, COLORREF maskColour,
                                      const lex::DrawnStrip& art = {}, int dpi = lex::kBaseDpi);

    BOOL LoadToolBar(UINT id, HMODULE module, const lex::DrawnStrip& art = {}, int dpi = lex::kBaseDpi);
    // Whether these are the icons of toolbar id in module for pictures drawn at size.
    BOOL DoMatch(UINT id, HMODULE module, int size) const
    {
        return m_resourceId == id && m_module == module && m_drawnSize == size;
    }
    SIZE GetIconSize() const;

    UINT m_resourceId = 0;
    HMODULE m_module = nullptr;
    int m_drawnSize = 16; // the size of the pictures asked for (16, 24 or 32)
    COLORREF m_crTransparent = kMaskFromTopLeft;
    HIMAGELIST m_IconsList = nullptr;
    std::vector<uint16_t> m_IDs; // one per button, separators skipped

private:
    BOOL LoadBitmap(HMODULE module, UINT id, int width, int height);
    BOOL MakeTriples();
};

class CNewMenuItemData {
public:
    CNewMenuItemData() = default;
    CNewMenuItemData(const CNewMenuItemData&) = delete;
    CNewMenuItemData& operator=(const CNewMenuItemData&) = delete;

    // Shows image `offset` of icons (owned by the process-wide list), or none.
    void SetIcons(CNewMenuIcons* icons, int offset);

    std::string m_szMenuText; // code page 936, with any tab and accelerator
    UINT m_nFlags = 0;        // the menu flags as read, with owner-draw added
    UINT_PTR m_nID = 0;       // command id, submenu handle for a popup, 0 for a separator
    CNewMenuIcons* m_pMenuIcon = nullptr;
    int m_nMenuIconOffset = -1; // the first of the item's three images
};

class CNewMenu : public lex::CMenu {
public:
    CNewMenu();
    ~CNewMenu() override;

    // The DPI the menu is shown at (the system DPI unless told): its icons are taken from
    // the strip drawn for it and its items measured and drawn at it. Set it before
    // LoadToolBarIcons; it passes to the popups.
    void SetDpi(int dpi);
    int Dpi() const { return m_dpi.Dpi(); }

    BOOL LoadMenu(UINT id) override;
    // Takes the menu over and converts its items (recursively for its popups).
    BOOL LoadMenu(HMENU menu);
    BOOL DestroyMenu() override;
    // Gives the items whose commands have buttons in toolbar `id` those buttons' images.
    // art: the strips of the toolbar's pictures drawn at 24 and 32 pixels, if any.
    BOOL LoadToolBarIcons(UINT id, HMODULE module = nullptr, const lex::DrawnStrip& art = {});
    // The object made for the popup at position pos while loading, or nullptr.
    CNewMenu* GetSubMenu(int pos) const;
    BOOL TrackPopupMenu(UINT flags, int x, int y, lex::CWnd* owner) override;

    void MeasureItem(MEASUREITEMSTRUCT* mis) override;
    void DrawItem(DRAWITEMSTRUCT* dis) override;

    const std::vector<std::unique_ptr<CNewMenuItemData>>& Items() const { return m_MenuItemList; }
    bool IsPopup() const { return m_bIsPopupMenu; }
    int IconWidth() const { return m_iconX; }

private:
    // Makes every item owner-drawn, carrying data of its own.
    void ConvertItems();
    // The data of the item at pos, or nullptr past the last item.
    std::unique_ptr<CNewMenuItemData> ConvertItem(UINT pos);
    std::string ItemCaption(UINT pos) const;
    // Whether the item is the menu's default item, which is drawn (and measured) bold.
    bool IsDefaultItem(const CNewMenuItemData& data) const;
    // Makes the item (by position or command) owner-drawn with data as its item data.
    bool SetItemOwnerDraw(UINT item, CNewMenuItemData* data, bool byPosition);
    // Every item with command `id` in this menu and its popups, with its menu.
    void FindItems(UINT id, std::vector<std::pair<CNewMenu*, CNewMenuItemData*>>& found);
    void GrowIcons(int cx, int cy);
    void ReleaseItems();

    std::vector<std::unique_ptr<CNewMenuItemData>> m_MenuItemList;
    std::vector<std::unique_ptr<CNewMenu>> m_SubMenus;
    lex::CDpi m_dpi{lex::SystemDpi()};
    // The icon size: 16 x 15 at 96 DPI, growing to the widest and tallest icon attached.
    int m_iconX = 16;
    int m_iconY = 15;
    bool m_bIsPopupMenu = true;
};
