#include "menuskin/new_menu.h"
#include "base/text.h"
#include "base/toolbar_resource.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/wnd.h"
#include "menuskin/menu_hook.h"
#include "menuskin/menu_rules.h"
#include "menuskin/menu_theme.h"

#include <algorithm>

namespace {

const WORD kToolbarResourceType = 241;

// Every icons object loaded in this process, one per toolbar resource.
std::vector<std::unique_ptr<CNewMenuIcons>>& IconsList()
{
    static std::vector<std::unique_ptr<CNewMenuIcons>> list;
    return list;
}

// A 32-bit top-down DIB section of cx x cy with its pixels (0x00RRGGBB).
struct Dib {
    lex::CBitmap bitmap;
    uint32_t* bits = nullptr;
    bool Create(int cx, int cy)
    {
        const BITMAPINFO bi = lex::TopDownDibInfo(cx, cy);
        void* p = nullptr;
        bitmap.Attach(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
        bits = static_cast<uint32_t*>(p);
        return bits != nullptr;
    }
};

uint32_t DibToColour(uint32_t p)
{
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

} // namespace

// CNewMenuIcons ----------------------------------------------------------------------

CNewMenuIcons::~CNewMenuIcons()
{
    if (m_IconsList)
        ImageList_Destroy(m_IconsList);
}

CNewMenuIcons* CNewMenuIcons::FromToolBar(UINT id, HMODULE module, COLORREF maskColour, const lex::DrawnStrip& art,
                                          int dpi)
{
    const int size = lex::PickDrawnSize(lex::ScaleToDpi(16, dpi), {16, 24, 32});
    for (auto& icons : IconsList())
        if (icons->DoMatch(id, module, size))
            return icons.get();
    auto icons = std::make_unique<CNewMenuIcons>();
    icons->m_crTransparent = maskColour;
    if (!icons->LoadToolBar(id, module, art, dpi))
        return nullptr;
    IconsList().push_back(std::move(icons));
    return IconsList().back().get();
}

SIZE CNewMenuIcons::GetIconSize() const
{
    int cx = 0, cy = 0;
    if (m_IconsList)
        ImageList_GetIconSize(m_IconsList, &cx, &cy);
    return SIZE{cx, cy};
}

BOOL CNewMenuIcons::LoadToolBar(UINT id, HMODULE module, const lex::DrawnStrip& art, int dpi)
{
    HMODULE from = module ? module : lex::AfxGetResourceHandle();
    HRSRC found = FindResourceW(from, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kToolbarResourceType));
    if (!found && from != lex::AfxGetResourceHandle()) {
        from = lex::AfxGetResourceHandle();
        found = FindResourceW(from, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kToolbarResourceType));
    }
    HGLOBAL loaded = found ? LoadResource(from, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    ToolbarResource toolbar;
    if (!data || !ParseToolbarResource(data, SizeofResource(from, found), toolbar))
        return FALSE;
    std::vector<uint16_t> ids;
    for (uint16_t each : toolbar.ids)
        if (each)
            ids.push_back(each);
    lex::DrawnStrip strip = art;
    strip.id16 = id;
    const lex::PickedStrip picked = lex::PickStrip(from, strip, static_cast<int>(toolbar.ids.size()), dpi);
    const bool own = picked.size == 16 || picked.width <= 0;
    if (!LoadBitmap(from, picked.bitmapId, own ? toolbar.imageWidth : picked.width,
                    own ? toolbar.imageHeight : picked.height) ||
        !MakeTriples())
        return FALSE;
    m_drawnSize = lex::PickDrawnSize(lex::ScaleToDpi(16, dpi), {16, 24, 32});
    m_IDs = std::move(ids);
    m_resourceId = id;
    m_module = module;
    return TRUE;
}

BOOL CNewMenuIcons::LoadBitmap(HMODULE module, UINT id, int width, int height)
{
    if (width <= 0 || height <= 0)
        return FALSE;
    lex::CBitmap bitmap;
    bitmap.Attach(static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    if (!bitmap)
        return FALSE;
    BITMAP bm = {};
    GetObjectW(bitmap.GetSafeHandle(), sizeof bm, &bm);
    COLORREF mask = m_crTransparent;
    if (mask == kMaskFromTopLeft) {
        // The colour of the bitmap's top-left pixel.
        lex::CMemoryDC dc;
        dc.CreateCompatibleDC(nullptr);
        lex::CSelectObject selected(dc.GetSafeHdc(), bitmap.GetSafeHandle());
        mask = GetPixel(dc.GetSafeHdc(), 0, 0);
    }
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, bm.bmWidth / width, 10);
    if (!list)
        return FALSE;
    if (ImageList_AddMasked(list, bitmap.GetSafeHandle(), mask) < 0) {
        ImageList_Destroy(list);
        return FALSE;
    }
    if (m_IconsList)
        ImageList_Destroy(m_IconsList);
    m_IconsList = list;
    return TRUE;
}

BOOL CNewMenuIcons::MakeTriples()
{
    const int count = ImageList_GetImageCount(m_IconsList);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(m_IconsList, &cx, &cy);
    HIMAGELIST triples = ImageList_Create(cx, cy, ILC_COLORDDB | ILC_MASK, 3 * count, 10);
    if (!triples)
        return FALSE;
    const COLORREF menuColour = CMenuThemeFlat::Active().Colours().menu;
    // Each image drawn on black and on white: the pixels that differ are transparent.
    Dib onBlack, onWhite;
    lex::CMemoryDC blackDC, whiteDC;
    bool ok = onBlack.Create(cx, cy) && onWhite.Create(cx, cy) && blackDC.CreateCompatibleDC(nullptr) &&
              whiteDC.CreateCompatibleDC(nullptr);
    lex::CSelectObject selectBlack(blackDC.GetSafeHdc(), onBlack.bitmap.GetSafeHandle());
    lex::CSelectObject selectWhite(whiteDC.GetSafeHdc(), onWhite.bitmap.GetSafeHandle());
    const size_t n = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    const int maskStride = ((cx + 15) / 16) * 2; // monochrome rows are WORD aligned
    for (int i = 0; ok && i < count; ++i) {
        std::fill(onBlack.bits, onBlack.bits + n, 0u);
        std::fill(onWhite.bits, onWhite.bits + n, 0x00FFFFFFu);
        GdiFlush();
        ImageList_Draw(m_IconsList, i, blackDC.GetSafeHdc(), 0, 0, ILD_TRANSPARENT);
        ImageList_Draw(m_IconsList, i, whiteDC.GetSafeHdc(), 0, 0, ILD_TRANSPARENT);
        GdiFlush();
        std::vector<BYTE> maskBits(static_cast<size_t>(maskStride * cy), 0);
        std::vector<bool> clear(n);
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x) {
                const size_t at = static_cast<size_t>(y * cx + x);
                clear[at] = onBlack.bits[at] != onWhite.bits[at];
                if (clear[at])
                    maskBits[static_cast<size_t>(y * maskStride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
            }
        lex::CBitmap mask;
        mask.Attach(CreateBitmap(cx, cy, 1, 1, maskBits.data()));
        for (int kind = 0; ok && kind < 3; ++kind) {
            Dib image;
            ok = image.Create(cx, cy);
            for (size_t at = 0; ok && at < n; ++at) {
                const uint32_t colour = DibToColour(onBlack.bits[at]);
                uint32_t out = colour;
                if (kind == 1)
                    out = MenuDarken(50, colour);
                else if (kind == 2)
                    out = MenuMix86(MenuLighten(100, MenuGrey(colour)), menuColour);
                image.bits[at] = clear[at] ? 0u : DibToColour(out);
            }
            ok = ok && ImageList_Add(triples, image.bitmap.GetSafeHandle(), mask.GetSafeHandle()) >= 0;
        }
    }
    if (!ok) {
        ImageList_Destroy(triples);
        return FALSE;
    }
    ImageList_Destroy(m_IconsList);
    m_IconsList = triples;
    return TRUE;
}

void CNewMenuItemData::SetIcons(CNewMenuIcons* icons, int offset)
{
    m_pMenuIcon = icons;
    m_nMenuIconOffset = icons ? offset : -1;
}

// CNewMenu ---------------------------------------------------------------------------

CNewMenu::CNewMenu()
{
    SetDpi(m_dpi.Dpi());
}

CNewMenu::~CNewMenu()
{
    DestroyMenu();
}

void CNewMenu::SetDpi(int dpi)
{
    m_dpi.SetDpi(dpi);
    m_iconX = m_dpi.Scale(16);
    m_iconY = m_dpi.Scale(15);
    for (auto& sub : m_SubMenus)
        sub->SetDpi(dpi);
}

BOOL CNewMenu::LoadMenu(UINT id)
{
    HMENU menu = ::LoadMenuW(lex::AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
    if (menu && !LoadMenu(menu)) {
        ::DestroyMenu(menu);
        return FALSE;
    }
    return menu != nullptr;
}

BOOL CNewMenu::LoadMenu(HMENU menu)
{
    if (!menu || !::IsMenu(menu) || !Attach(menu))
        return FALSE;
    m_bIsPopupMenu = false;
    const int count = ::GetMenuItemCount(m_hMenu);
    for (int pos = 0; pos < count; ++pos) {
        HMENU sub = ::GetSubMenu(m_hMenu, pos);
        if (!sub)
            continue;
        auto child = std::make_unique<CNewMenu>();
        if (child->LoadMenu(sub)) {
            child->m_bIsPopupMenu = true;
            m_SubMenus.push_back(std::move(child));
        }
    }
    ConvertItems();
    return TRUE;
}

void CNewMenu::ReleaseItems()
{
    for (auto& data : m_MenuItemList)
        UnlinkItemData(reinterpret_cast<ULONG_PTR>(data.get()));
    m_MenuItemList.clear();
}

BOOL CNewMenu::DestroyMenu()
{
    // The popups go with this menu's handle: their objects only let go of theirs.
    for (auto& sub : m_SubMenus) {
        sub->ReleaseItems();
        sub->Detach();
    }
    m_SubMenus.clear();
    ReleaseItems();
    return CMenu::DestroyMenu();
}

bool CNewMenu::SetItemOwnerDraw(UINT item, CNewMenuItemData* data, bool byPosition)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!::GetMenuItemInfoW(m_hMenu, item, byPosition, &info)) {
        MenuErrorReport();
        return false;
    }
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType |= MFT_OWNERDRAW;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(data);
    if (!::SetMenuItemInfoW(m_hMenu, item, byPosition, &info)) {
        MenuErrorReport();
        return false;
    }
    return true;
}

void CNewMenu::ConvertItems()
{
    const int count = ::GetMenuItemCount(m_hMenu);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<CNewMenuItemData> data = ConvertItem(static_cast<UINT>(i));
        if (!data)
            break;
        LinkItemData(reinterpret_cast<ULONG_PTR>(data.get()));
        m_MenuItemList.push_back(std::move(data));
    }
}

std::unique_ptr<CNewMenuItemData> CNewMenu::ConvertItem(UINT pos)
{
    const UINT state = ::GetMenuState(m_hMenu, pos, MF_BYPOSITION);
    if (state == static_cast<UINT>(-1))
        return nullptr;
    auto data = std::make_unique<CNewMenuItemData>();
    if (state & MF_BITMAP) {
        // Bitmap items keep the system's drawing.
        data->m_nFlags = state;
        data->m_nID = ::GetMenuItemID(m_hMenu, static_cast<int>(pos));
        return data;
    }
    if (state & MF_SEPARATOR) {
        data->m_nFlags = state | MF_OWNERDRAW | MF_BYPOSITION;
    } else {
        data->m_szMenuText = ItemCaption(pos);
        // The item's state flags, with owner-draw and by-position set.
        data->m_nFlags = (state & 0xFF) | MF_OWNERDRAW | MF_BYPOSITION | (state & ~0xFFFu);
        if (state & MF_POPUP)
            data->m_nID = reinterpret_cast<UINT_PTR>(::GetSubMenu(m_hMenu, static_cast<int>(pos)));
        else
            data->m_nID = ::GetMenuItemID(m_hMenu, static_cast<int>(pos));
    }
    SetItemOwnerDraw(pos, data.get(), true);
    return data;
}

std::string CNewMenu::ItemCaption(UINT pos) const
{
    const int length = ::GetMenuStringW(m_hMenu, pos, nullptr, 0, MF_BYPOSITION);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = ::GetMenuStringW(m_hMenu, pos, &text[0], length + 1, MF_BYPOSITION);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return lex::Narrow(text);
}

void CNewMenu::FindItems(UINT id, std::vector<std::pair<CNewMenu*, CNewMenuItemData*>>& found)
{
    for (auto& data : m_MenuItemList)
        if (!(data->m_nFlags & (MF_POPUP | MF_SEPARATOR)) && data->m_nID == id)
            found.emplace_back(this, data.get());
    for (auto& sub : m_SubMenus)
        sub->FindItems(id, found);
}

void CNewMenu::GrowIcons(int cx, int cy)
{
    m_iconX = std::max(m_iconX, cx);
    m_iconY = std::max(m_iconY, cy);
    for (auto& sub : m_SubMenus)
        sub->GrowIcons(cx, cy);
}

BOOL CNewMenu::LoadToolBarIcons(UINT id, HMODULE module, const lex::DrawnStrip& art)
{
    CNewMenuIcons* icons = CNewMenuIcons::FromToolBar(id, module, CNewMenuIcons::kMaskFromTopLeft, art, Dpi());
    if (!icons)
        return FALSE;
    const SIZE size = icons->GetIconSize();
    std::vector<std::pair<CNewMenu*, CNewMenuItemData*>> found;
    for (size_t i = icons->m_IDs.size(); i-- > 0;) {
        const uint16_t command = icons->m_IDs[i];
        found.clear();
        FindItems(command, found);
        // Buttons whose command is not in the menu give nothing.
        for (auto& [menu, data] : found) {
            data->SetIcons(icons, IconTripleIndex(icons->m_IDs, command));
            data->m_nFlags = (data->m_nFlags & ~MF_BYPOSITION) | MF_OWNERDRAW;
            menu->SetItemOwnerDraw(command, data, false);
        }
        if (!found.empty())
            GrowIcons(size.cx, size.cy);
    }
    return TRUE;
}

CNewMenu* CNewMenu::GetSubMenu(int pos) const
{
    HMENU sub = ::GetSubMenu(m_hMenu, pos);
    for (auto& child : m_SubMenus)
        if (sub && child->m_hMenu == sub)
            return child.get();
    return nullptr;
}

BOOL CNewMenu::TrackPopupMenu(UINT flags, int x, int y, lex::CWnd* owner)
{
    // Fonts and colours are read once per menu shown, not for every item drawn.
    CMenuThemeFlat::Active().Refresh(Dpi());
    CMenuHookScope hook;
    return CMenu::TrackPopupMenu(flags, x, y, owner);
}

bool CNewMenu::IsDefaultItem(const CNewMenuItemData& data) const
{
    // The system does not pass ODS_DEFAULT to owner-drawn items everywhere (Wine never
    // does), so the menu's own default item is asked for.
    return !(data.m_nFlags & (MF_POPUP | MF_SEPARATOR)) &&
           ::GetMenuDefaultItem(m_hMenu, FALSE, GMDI_USEDISABLED) == static_cast<UINT>(data.m_nID);
}

void CNewMenu::MeasureItem(MEASUREITEMSTRUCT* mis)
{
    auto* data = reinterpret_cast<CNewMenuItemData*>(mis->itemData);
    CMenuThemeFlat::Active().MeasureItem(mis, *data, m_iconX, m_iconY, IsDefaultItem(*data), !m_bIsPopupMenu,
                                         Dpi());
}

void CNewMenu::DrawItem(DRAWITEMSTRUCT* dis)
{
    auto* data = reinterpret_cast<CNewMenuItemData*>(dis->itemData);
    const bool bold = (dis->itemState & ODS_DEFAULT) != 0 || IsDefaultItem(*data);
    CMenuThemeFlat::Active().DrawItem(dis, *data, m_iconX, m_iconY, bold, !m_bIsPopupMenu, Dpi());
}
