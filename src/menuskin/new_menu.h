// CNewMenu: a menu whose items are owner-drawn by the flat theme, with icons taken from
// a toolbar resource. Loading converts every item to an owner-drawn one carrying a
// CNewMenuItemData; each popup gets its own CNewMenu. Tracking a popup arms the
// thread's menu-window hook, which gives the menu window its flat frame and shadow.
#pragma once

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
    CNewMenuIcons() = default;
    ~CNewMenuIcons();
    CNewMenuIcons(const CNewMenuIcons&) = delete;
    CNewMenuIcons& operator=(const CNewMenuIcons&) = delete;

    // Finds or loads the icons of toolbar `id` in `module` (0: the application); the
    // list keeps them for the life of the process. nullptr when the toolbar or its
    // bitmap cannot be loaded.
    static CNewMenuIcons* FromToolBar(UINT id, HMODULE module, COLORREF maskColour);

    BOOL LoadToolBar(UINT id, HMODULE module);
    BOOL DoMatch(UINT id, HMODULE module) const { return m_resourceId == id && m_module == module; }
    SIZE GetIconSize() const;
    void AddRef() { ++m_dwRefCount; }
    void Release() { --m_dwRefCount; }

    UINT m_resourceId = 0;
    HMODULE m_module = nullptr;
    int m_colorDepth = 0;
    COLORREF m_crTransparent = 0xFF000000;
    HIMAGELIST m_IconsList = nullptr;
    std::vector<uint16_t> m_IDs; // one per button, separators skipped
    int m_dwRefCount = 0;

private:
    BOOL LoadBitmap(HMODULE module, UINT id, int width, int height);
    BOOL MakeTriples();
};

class CNewMenuItemData {
public:
    CNewMenuItemData() = default;
    ~CNewMenuItemData() { SetIcons(nullptr, -1); }
    CNewMenuItemData(const CNewMenuItemData&) = delete;
    CNewMenuItemData& operator=(const CNewMenuItemData&) = delete;

    // Shares icons (taking a reference and dropping the previous one).
    void SetIcons(CNewMenuIcons* icons, int offset);

    std::string m_szMenuText; // code page 936, with any tab and accelerator
    UINT m_nSyncFlag = 0;     // separators only: title bits, unused by the flat theme here
    UINT m_nFlags = 0;        // the menu flags as read, with owner-draw added
    UINT_PTR m_nID = 0;       // command id, submenu handle for a popup, 0 for a separator
    bool m_nInUse = false;    // used while items are re-matched
    CNewMenuIcons* m_pMenuIcon = nullptr;
    int m_nMenuIconOffset = -1; // the first of the item's three images
};

class CNewMenu : public lex::CMenu {
public:
    explicit CNewMenu(HMENU parentMenu = nullptr);
    ~CNewMenu() override;

    BOOL LoadMenu(UINT id) override;
    // Takes the menu over and converts its items (recursively for its popups).
    BOOL LoadMenu(HMENU menu);
    BOOL DestroyMenu() override;
    // Gives the items whose commands have buttons in toolbar `id` those buttons' images.
    BOOL LoadToolBarIcons(UINT id, HMODULE module = nullptr);
    // The object made for the popup at position pos while loading, or nullptr.
    CNewMenu* GetSubMenu(int pos) const;
    BOOL TrackPopupMenu(UINT flags, int x, int y, lex::CWnd* owner) override;

    void MeasureItem(MEASUREITEMSTRUCT* mis) override;
    void DrawItem(DRAWITEMSTRUCT* dis) override;

    const std::vector<std::unique_ptr<CNewMenuItemData>>& Items() const { return m_MenuItemList; }
    bool IsPopup() const { return m_bIsPopupMenu; }
    int IconWidth() const { return m_iconX; }
    int IconHeight() const { return m_iconY; }

private:
    void ConvertItems();
    // Makes the item (by position or command) owner-drawn with data as its item data.
    bool SetItemOwnerDraw(UINT item, CNewMenuItemData* data, bool byPosition);
    // Every item with command `id` in this menu and its popups, with its menu.
    void FindItems(UINT id, std::vector<std::pair<CNewMenu*, CNewMenuItemData*>>& found);
    void GrowIcons(int cx, int cy);
    void ReleaseItems();

    std::vector<std::unique_ptr<CNewMenuItemData>> m_MenuItemList;
    std::vector<std::unique_ptr<CNewMenu>> m_SubMenus;
    int m_iconX = 16;
    int m_iconY = 15;
    HWND m_hOwner = nullptr;
    COLORREF m_bitmapBackground = 0xFF000000;
    HMENU m_hParentMenu;
    bool m_bIsPopupMenu = true;
};
