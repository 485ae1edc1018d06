#include "treesheet/tree_prop_sheet.h"
#include "base/text.h"

#include <commctrl.h>

// The tree control as page_tree.h sees it.
class CTreePropSheet::TreeAccess : public lex::IPageTree {
public:
    TreeAccess(HWND tree, int groupImage) : m_tree(tree), m_groupImage(groupImage) {}

    Node Root() const override { return TVI_ROOT; }
    Node FirstChild(Node node) const override
    {
        if (node == TVI_ROOT)
            return TreeView_GetRoot(m_tree);
        return TreeView_GetChild(m_tree, Item(node));
    }
    Node NextSibling(Node node) const override { return TreeView_GetNextSibling(m_tree, Item(node)); }
    Node PreviousSibling(Node node) const override { return TreeView_GetPrevSibling(m_tree, Item(node)); }
    Node Parent(Node node) const override { return TreeView_GetParent(m_tree, Item(node)); }
    std::string Text(Node node) const override
    {
        wchar_t buffer[261] = {};
        TVITEMW item = {};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = Item(node);
        item.pszText = buffer;
        item.cchTextMax = 260;
        if (!::SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
            return std::string();
        return lex::Narrow(item.pszText ? item.pszText : L"");
    }
    long ItemValue(Node node) const override
    {
        TVITEMW item = {};
        item.mask = TVIF_PARAM | TVIF_HANDLE;
        item.hItem = Item(node);
        if (!::SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
            return -1;
        return static_cast<long>(item.lParam);
    }
    Node AppendChild(Node parent, const std::string& text, bool group) override
    {
        std::wstring wide = lex::Widen(text);
        TVINSERTSTRUCTW insert = {};
        insert.hParent = Item(parent);
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = &wide[0];
        insert.item.lParam = -1;
        if (group && m_groupImage >= 0) {
            insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            insert.item.iImage = insert.item.iSelectedImage = m_groupImage;
        }
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(m_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }

    static HTREEITEM Item(Node node) { return const_cast<HTREEITEM>(static_cast<const _TREEITEM*>(node)); }

private:
    HWND m_tree;
    int m_groupImage;
};

namespace {

// Moves one window by (dx, dy) in its parent's client coordinates.
void OffsetWindow(HWND hWnd, int dx, int dy)
{
    RECT r;
    GetWindowRect(hWnd, &r);
    OffsetRect(&r, dx, dy);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

} // namespace

CTreePropSheet::CTreePropSheet(const std::string& caption, lex::CWnd* parent, UINT selectPage)
    : lex::CPropertySheet(caption, parent, selectPage)
{
}

CTreePropSheet::~CTreePropSheet()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    delete m_pwndPageTree;
    delete m_pFrame;
    for (HICON icon : m_ownedIcons)
        DestroyIcon(icon);
}

BOOL CTreePropSheet::SetTreeMode(BOOL treeMode, BOOL pageCaption, BOOL treeImages)
{
    if (m_hWnd)
        return FALSE;
    m_bTreeViewMode = treeMode;
    if (treeMode) {
        m_bPageCaption = pageCaption;
        m_bTreeImages = treeImages;
    }
    return TRUE;
}

BOOL CTreePropSheet::SetGroupImages(HIMAGELIST images)
{
    if (!images || ImageList_GetImageCount(images) != 2)
        return FALSE;
    lex::CImageList copy;
    if (!copy.CreateCopy(images))
        return FALSE;
    m_DefaultImages = std::move(copy);
    if (m_hWnd)
        RebuildPageTree();
    return TRUE;
}

BOOL CTreePropSheet::SetPageIcon(lex::CPropertyPage* page, HICON icon)
{
    page->m_psp.dwFlags |= PSP_USEHICON;
    page->m_psp.hIcon = icon;
    return TRUE;
}

BOOL CTreePropSheet::SetPageIcon(lex::CPropertyPage* page, HIMAGELIST images, int index)
{
    if (!images || index < 0 || index >= ImageList_GetImageCount(images))
        return FALSE;
    HICON icon = ImageList_GetIcon(images, index, ILD_TRANSPARENT);
    if (!icon)
        return FALSE;
    m_ownedIcons.push_back(icon);
    return SetPageIcon(page, icon);
}

std::string CTreePropSheet::FormatEmptyPageMessage(const std::string& format, const std::string& nodeText)
{
    // '%' is below the trail-byte range of code page 936, so a byte search is safe.
    std::string out;
    bool used = false;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == 's' && !used) {
                out += nodeText;
                used = true;
                ++i;
                continue;
            }
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

lex::CWnd* CTreePropSheet::NewPageTree()
{
    return new lex::CWnd;
}

CPageFrame* CTreePropSheet::NewPageFrame()
{
    return new CPageFrameWnd;
}

void CTreePropSheet::OffsetChildWindows(int dx, int dy)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        OffsetWindow(child, dx, dy);
}

void CTreePropSheet::CentreOnParent()
{
    // On the parent window when there is one, else on the screen: the work area of the
    // monitor the owner (the main bar) is on, which may be a second monitor.
    HWND parent = m_parent ? m_parent->m_hWnd : nullptr;
    lex::CenterWindow(m_hWnd, parent, parent ? parent : ::GetWindow(m_hWnd, GW_OWNER));
}

int CTreePropSheet::TreeImageSize() const
{
    int cx = lex::PickDrawnSize(Dpi().Scale(16), {16, 24, 32}), cy = cx;
    if (m_DefaultImages)
        m_DefaultImages.GetIconSize(&cx, &cy);
    return cx;
}

BOOL CTreePropSheet::OnInitDialog()
{
    if (m_bTreeViewMode) {
        const int size = TreeImageSize();
        m_Images.Create(size, size, ILC_COLOR32 | ILC_MASK, 0, 1);
    }
    BOOL result = lex::CPropertySheet::OnInitDialog();
    if (!m_bTreeViewMode)
        return result;

    HWND tab = GetTabControl();
    if (!tab || !::IsWindow(tab))
        return result;
    const RECT tabRect = HideTabs(tab);
    CreatePageFrame(tabRect);

    RECT sheet;
    GetWindowRect(&sheet);
    const int treeWidth = GetPageTreeWidth();
    SetWindowPos(m_hWnd, nullptr, 0, 0, sheet.right - sheet.left + treeWidth, sheet.bottom - sheet.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOnParent();
    OffsetChildWindows(treeWidth, 0);

    RECT treeRect = tabRect;
    treeRect.right = treeRect.left + treeWidth - Dpi().Scale(kTreeGap);
    const int captionHeight = TabRowHeight(tabRect);
    m_pFrame->SetCaptionHeight(captionHeight);
    if (!m_bPageCaption && captionHeight > 0) {
        DropCaptionStrip(captionHeight);
        treeRect.bottom += captionHeight;
    }
    CreatePageTree(treeRect);

    RebuildPageTree();
    int current = static_cast<int>(::SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    if (current >= 0)
        SelectPageItem(current);
    return result;
}

RECT CTreePropSheet::HideTabs(HWND tab)
{
    // One row of tabs, so the tab rectangle below is that of a single row.
    ::SetWindowLongW(tab, GWL_STYLE, ::GetWindowLongW(tab, GWL_STYLE) & ~TCS_MULTILINE);
    ::ShowWindow(tab, SW_HIDE);
    ::EnableWindow(tab, FALSE);
    RECT tabRect;
    ::GetWindowRect(tab, &tabRect);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&tabRect), 2);
    return tabRect;
}

void CTreePropSheet::CreatePageFrame(const RECT& tabRect)
{
    m_pFrame = NewPageFrame();
    m_pFrame->SetDpi(Dpi().Dpi());
    m_pFrame->CreateFrameWindow(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, tabRect, m_hWnd, kPageFrameId);
    // Below the pages, which then cover its message area.
    if (lex::CWnd* frame = m_pFrame->GetFrameWindow())
        SetWindowPos(frame->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_pFrame->EnableCaption(m_bPageCaption);
}

int CTreePropSheet::TabRowHeight(const RECT& tabRect)
{
    // The caption strip is as high as a row of tabs: ask a tab control with one tab.
    int height = 0;
    HWND probe = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, tabRect.left,
                                 tabRect.top, tabRect.right - tabRect.left, tabRect.bottom - tabRect.top, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTabProbeId)),
                                 GetModuleHandleW(nullptr), nullptr);
    if (probe) {
        // The room around a tab's text is 6 by 3 pixels at 96 DPI; the control does not
        // scale it by itself everywhere, so it is set for the sheet's DPI.
        ::SendMessageW(probe, TCM_SETPADDING, 0, MAKELPARAM(Dpi().Scale(6), Dpi().Scale(3)));
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(probe, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        RECT itemRect = {0, 0, 0, 0};
        ::SendMessageW(probe, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&itemRect));
        height = itemRect.bottom - itemRect.top;
        ::DestroyWindow(probe);
    }
    return height;
}

void CTreePropSheet::DropCaptionStrip(int captionHeight)
{
    // Without a caption strip the frame starts where the strip would have ended, the
    // pages move up into its place, and the sheet loses its height, half above and
    // half below.
    if (lex::CWnd* frame = m_pFrame->GetFrameWindow()) {
        RECT fr;
        frame->GetWindowRect(&fr);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&fr), 2);
        fr.top += captionHeight;
        MoveWindow(frame->m_hWnd, fr.left, fr.top, fr.right - fr.left, fr.bottom - fr.top, TRUE);
    }
    OffsetChildWindows(0, -captionHeight);
    RECT r;
    GetWindowRect(&r);
    r.top += captionHeight / 2;
    r.bottom -= captionHeight - captionHeight / 2;
    if (HWND parent = GetParent())
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void CTreePropSheet::CreatePageTree(const RECT& treeRect)
{
    m_pwndPageTree = NewPageTree();
    m_pwndPageTree->CreateEx(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, WC_TREEVIEWW, "PageTree",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT
                                 | TVS_SHOWSELALWAYS | TVS_TRACKSELECT,
                             treeRect.left, treeRect.top, treeRect.right - treeRect.left,
                             treeRect.bottom - treeRect.top, m_hWnd, kPageTreeId);
    // The sheet's own font, so Chinese node texts read like the rest of the sheet.
    m_pwndPageTree->SetFont(GetFont(), FALSE);
    if (m_bTreeImages) {
        TreeView_SetImageList(m_pwndPageTree->m_hWnd, m_Images.GetSafeHandle(), TVSIL_NORMAL);
        TreeView_SetImageList(m_pwndPageTree->m_hWnd, m_Images.GetSafeHandle(), TVSIL_STATE);
    }
}

void CTreePropSheet::OnDpiChanged(int oldDpi)
{
    // Tree and frame have moved and grown with the other children; what the sheet drew
    // for the old DPI is made again: the caption strip and the tree's images.
    if (m_pFrame) {
        m_pFrame->SetDpi(Dpi().Dpi());
        m_pFrame->SetCaptionHeight(::MulDiv(m_pFrame->GetCaptionHeight(), Dpi().Dpi(), oldDpi));
    }
    if (!m_bTreeViewMode || !GetPageTreeWindow())
        return;
    ReloadImagesForDpi(Dpi().Dpi());
    if (m_bTreeImages) {
        const int size = TreeImageSize();
        m_Images.Create(size, size, ILC_COLOR32 | ILC_MASK, 0, 1);
        TreeView_SetImageList(m_pwndPageTree->m_hWnd, m_Images.GetSafeHandle(), TVSIL_NORMAL);
        TreeView_SetImageList(m_pwndPageTree->m_hWnd, m_Images.GetSafeHandle(), TVSIL_STATE);
    }
    RebuildPageTree();
    SelectCurrentPageItem();
    UpdateFrameCaption();
}

void CTreePropSheet::RebuildPageTree()
{
    HWND tree = GetPageTreeWindow();
    if (!m_hWnd || !tree)
        return;
    TreeView_DeleteAllItems(tree);
    HWND tab = GetTabControl();
    if (!tab || !::IsWindow(tab))
        return;
    int count = TabCtrl_GetItemCount(tab);

    int groupImage = -1;
    if (m_bTreeImages) {
        m_Images.Remove(-1);
        HIMAGELIST tabImages = TabCtrl_GetImageList(tab);
        for (int i = 0, n = tabImages ? ImageList_GetImageCount(tabImages) : 0; i < n; ++i) {
            HICON icon = ImageList_GetIcon(tabImages, i, ILD_TRANSPARENT);
            m_Images.Add(icon);
            if (icon)
                DestroyIcon(icon);
        }
        if (m_DefaultImages) {
            for (int i = 0; i < 2; ++i) {
                HICON icon = m_DefaultImages.ExtractIcon(i);
                m_Images.Add(icon);
                if (icon)
                    DestroyIcon(icon);
            }
            groupImage = m_Images.GetImageCount() - 2;
        }
    }

    TreeAccess access(tree, groupImage);
    for (int i = 0; i < count; ++i) {
        wchar_t text[261] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = 260;
        ::SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        HTREEITEM node = TreeAccess::Item(lex::InsertPagePath(access, lex::Narrow(text), TVI_ROOT));
        if (!node)
            continue;
        TVITEMW tv = {};
        tv.mask = TVIF_PARAM | TVIF_HANDLE;
        tv.hItem = node;
        tv.lParam = i;
        if (m_bTreeImages) {
            int image = item.iImage;
            if (image < 0 || image >= m_Images.GetImageCount())
                image = m_DefaultImages ? m_Images.GetImageCount() - 1 : -1;
            tv.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            tv.iImage = tv.iSelectedImage = image;
        }
        ::SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    }
}

BOOL CTreePropSheet::DeactivateCurrentPage()
{
    HWND page = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
    if (!page || !::IsWindow(page) || !::IsWindowVisible(page))
        return TRUE;
    NMHDR hdr = {};
    hdr.hwndFrom = m_hWnd;
    hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
    hdr.code = PSN_KILLACTIVE;
    if (::SendMessageW(page, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr)))
        return FALSE;
    ::ShowWindow(page, SW_HIDE);
    return TRUE;
}

void CTreePropSheet::UpdateFrameCaption()
{
    HWND tree = GetPageTreeWindow();
    if (!tree || !m_pFrame)
        return;
    HWND page = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
    BOOL realPage = page && ::IsWindow(page) && ::IsWindowVisible(page);
    HTREEITEM node = TreeView_GetSelection(tree);
    if (!node)
        return;
    TreeAccess access(tree, -1);
    std::string text = access.Text(node);
    if (!realPage)
        m_pFrame->SetMessageText(FormatEmptyPageMessage(m_strEmptyPageMessage, text));

    HWND tab = GetTabControl();
    if (!m_pFrame->IsCaptionEnabled() || !tab)
        return;
    HICON icon = nullptr;
    if (m_bTreeImages) {
        TVITEMW tv = {};
        tv.mask = TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        tv.hItem = node;
        if (::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
            icon = m_Images.ExtractIcon(tv.iSelectedImage);
    } else if (realPage && TabCtrl_GetImageList(tab)) {
        TCITEMW item = {};
        item.mask = TCIF_IMAGE;
        if (TabCtrl_GetItem(tab, access.ItemValue(node), &item) && item.iImage >= 0)
            icon = ImageList_GetIcon(TabCtrl_GetImageList(tab), item.iImage, ILD_TRANSPARENT);
    }
    m_pFrame->SetCaptionText(text, icon);
    if (icon)
        DestroyIcon(icon);
}

void CTreePropSheet::SelectPageItem(int index)
{
    HWND tree = GetPageTreeWindow();
    if (!tree)
        return;
    TreeAccess access(tree, -1);
    if (auto node = lex::FindPageNode(access, index, GetPageCount(), TVI_ROOT))
        TreeView_SelectItem(tree, TreeAccess::Item(node));
}

void CTreePropSheet::SelectCurrentPageItem()
{
    if (HWND tab = GetTabControl())
        SelectPageItem(TabCtrl_GetCurSel(tab));
}

void CTreePropSheet::SelectNextItem()
{
    HWND tree = GetPageTreeWindow();
    if (!tree || !::IsWindow(tree)) {
        int count = GetPageCount();
        if (count > 0)
            SetActivePage((GetActiveIndex() + 1) % count);
        return;
    }
    TreeAccess access(tree, -1);
    if (auto node = lex::NextPageNode(access, TreeView_GetSelection(tree)))
        TreeView_SelectItem(tree, TreeAccess::Item(node));
}

void CTreePropSheet::SelectPreviousItem()
{
    HWND tree = GetPageTreeWindow();
    if (!tree || !::IsWindow(tree)) {
        int count = GetPageCount();
        if (count > 0)
            SetActivePage((GetActiveIndex() + count - 1) % count);
        return;
    }
    TreeAccess access(tree, -1);
    if (auto node = lex::PreviousPageNode(access, TreeView_GetSelection(tree)))
        TreeView_SelectItem(tree, TreeAccess::Item(node));
}

LRESULT CTreePropSheet::OnSelChanging(const NMTREEVIEWW* nm)
{
    if (m_bPageTreeSelChangedActive)
        return 0;
    m_bPageTreeSelChangedActive = TRUE;
    HWND tree = GetPageTreeWindow();
    long value = static_cast<long>(nm->itemNew.lParam);
    if (!(nm->itemNew.mask & TVIF_PARAM)) {
        TreeAccess access(tree, -1);
        value = access.ItemValue(nm->itemNew.hItem);
    }
    BOOL ok;
    if (value >= 0 && value < static_cast<long>(TreeView_GetCount(tree))) {
        ok = SetActivePage(static_cast<int>(value));
        // The page may be the current one, hidden while a group node was selected.
        HWND page = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
        if (ok && page && !::IsWindowVisible(page) && GetActiveIndex() == value)
            ::ShowWindow(page, SW_SHOW);
    } else {
        ok = DeactivateCurrentPage();
    }
    ::SetFocus(tree);
    m_bPageTreeSelChangedActive = FALSE;
    return ok ? 0 : 1;
}

BOOL CTreePropSheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->idFrom == kPageTreeId && m_pwndPageTree && hdr->hwndFrom == m_pwndPageTree->m_hWnd) {
        switch (hdr->code) {
        case TVN_SELCHANGINGW:
        case TVN_SELCHANGINGA:
            // The A and W forms share the layout up to the item's text pointer.
            *result = OnSelChanging(reinterpret_cast<const NMTREEVIEWW*>(lParam));
            return TRUE;
        case TVN_SELCHANGEDW:
        case TVN_SELCHANGEDA:
            UpdateFrameCaption();
            *result = 0;
            return TRUE;
        default:
            break;
        }
    }
    return lex::CPropertySheet::OnNotify(wParam, lParam, result);
}

LRESULT CTreePropSheet::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DESTROY: {
        LRESULT result = lex::CPropertySheet::WindowProc(msg, wParam, lParam);
        m_Images.DeleteImageList();
        delete m_pwndPageTree;
        m_pwndPageTree = nullptr;
        delete m_pFrame;
        m_pFrame = nullptr;
        return result;
    }
    case PSM_ADDPAGE:
    case PSM_REMOVEPAGE: {
        LRESULT result = lex::CPropertySheet::WindowProc(msg, wParam, lParam);
        if (m_bTreeViewMode && GetPageTreeWindow()) {
            RebuildPageTree();
            SelectCurrentPageItem();
        }
        return result;
    }
    case PSM_SETCURSEL:
    case PSM_SETCURSELID: {
        LRESULT result = lex::CPropertySheet::WindowProc(msg, wParam, lParam);
        if (m_bTreeViewMode && GetPageTreeWindow()) {
            SelectCurrentPageItem();
            UpdateFrameCaption();
        }
        return result;
    }
    case PSM_ISDIALOGMESSAGE: {
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message == WM_KEYDOWN && m->wParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000)) {
            if (GetKeyState(VK_SHIFT) & 0x8000)
                SelectPreviousItem();
            else
                SelectNextItem();
            return TRUE;
        }
        return lex::CPropertySheet::WindowProc(msg, wParam, lParam);
    }
    default:
        return lex::CPropertySheet::WindowProc(msg, wParam, lParam);
    }
}
