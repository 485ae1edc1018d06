#include "framework/menu.h"
#include "framework/app.h"
#include "framework/wnd.h"

#include <unordered_map>

namespace lex {

namespace {
// Item data -> the menu object that owns the item. Menus live on the UI thread.
std::unordered_map<ULONG_PTR, CMenu*>& ItemOwners()
{
    static std::unordered_map<ULONG_PTR, CMenu*> owners;
    return owners;
}
} // namespace

CMenu::~CMenu()
{
    auto& owners = ItemOwners();
    for (auto it = owners.begin(); it != owners.end();)
        it = it->second == this ? owners.erase(it) : std::next(it);
    DestroyMenu();
}

BOOL CMenu::Attach(HMENU menu)
{
    if (m_hMenu || !menu || !::IsMenu(menu))
        return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(UINT id)
{
    return Attach(::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)));
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner)
{
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->m_hWnd : nullptr, nullptr);
}

void CMenu::LinkItemData(ULONG_PTR data)
{
    if (data)
        ItemOwners()[data] = this;
}

void CMenu::UnlinkItemData(ULONG_PTR data)
{
    auto& owners = ItemOwners();
    auto it = owners.find(data);
    if (it != owners.end() && it->second == this)
        owners.erase(it);
}

CMenu* CMenu::FromItemData(ULONG_PTR data)
{
    auto& owners = ItemOwners();
    auto it = owners.find(data);
    return it == owners.end() ? nullptr : it->second;
}

BOOL CMenu::RouteOwnerDraw(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (wParam != 0)
        return FALSE;
    if (msg == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        CMenu* menu = mis->CtlType == ODT_MENU ? FromItemData(mis->itemData) : nullptr;
        if (menu)
            menu->MeasureItem(mis);
        return menu != nullptr;
    }
    if (msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        CMenu* menu = dis->CtlType == ODT_MENU ? FromItemData(dis->itemData) : nullptr;
        if (menu)
            menu->DrawItem(dis);
        return menu != nullptr;
    }
    return FALSE;
}

} // namespace lex
