// CMenu: a menu handle with an object, and the routing of owner-drawn menu items.
//
// Owner-draw requests for menu items reach the menu's owner window with wParam 0; the
// window hands them to the menu object that registered the item's data (LinkItemData),
// which draws or measures the item (CWnd::WindowProc does this for every window).
#pragma once

#include <windows.h>

namespace lex {

class CWnd;

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }

    BOOL Attach(HMENU menu);
    HMENU Detach();
    virtual BOOL DestroyMenu();
    // Loads a menu resource of the application (the resource-id form).
    virtual BOOL LoadMenu(UINT id);

    BOOL SetDefaultItem(UINT item, BOOL byPosition) { return ::SetMenuDefaultItem(m_hMenu, item, byPosition); }
    // Shows the menu at (x, y) and waits until it closes; the chosen command goes to owner.
    virtual BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);

    virtual void MeasureItem(MEASUREITEMSTRUCT*) {}
    virtual void DrawItem(DRAWITEMSTRUCT*) {}

    // The menu object that registered this item data, or nullptr.
    static CMenu* FromItemData(ULONG_PTR data);
    // Hands an owner-draw request for a menu item (wParam 0) to its menu object. TRUE when
    // one took it.
    static BOOL RouteOwnerDraw(UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // The owner-draw requests of items carrying this data go to this object.
    void LinkItemData(ULONG_PTR data);
    void UnlinkItemData(ULONG_PTR data);
};

} // namespace lex
