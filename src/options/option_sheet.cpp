#include "options/option_sheet.h"
#include "framework/app.h"
#include "resources/resource.h"
#include "options/option_banner_page.h"
#include "options/option_dict_page.h"
#include "options/option_interface_page.h"
#include "options/option_study_page.h"
#include "options/option_voice_page.h"

#include <commctrl.h>

int LoadOptionImages(lex::CImageList& list, int size)
{
    HINSTANCE instance = lex::AfxGetResourceHandle();
    const UINT id = size == 24 ? IDB_OPTION_IMAGES_24 : size == 32 ? IDB_OPTION_IMAGES_32 : IDB_OPTION_IMAGES;
    if (id == IDB_OPTION_IMAGES || !FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2))) // RT_BITMAP
        return list.CreateFromBitmap(instance, IDB_OPTION_IMAGES, 16, kOptionImagesMask) ? 16 : 0;
    return list.CreateFromBitmap(instance, id, size, kOptionImagesMask) ? size : 0;
}

COptionSheet::COptionSheet(lex::CWnd* parent) : CTreePropSheet("选项", parent, 0)
{
    // The sheet opens on its owner's monitor.
    LoadImages(lex::DpiOfWindow(parent ? parent->m_hWnd : nullptr));
    m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    SetEmptyPageText("请在 '%s'中选取一个子项.");
    SetTreeMode(TRUE, TRUE, TRUE);
}

void COptionSheet::LoadImages(int dpi)
{
    const int size = lex::PickDrawnSize(lex::ScaleToDpi(16, dpi), {16, 24, 32});
    LoadOptionImages(m_pageIcons, size);
    // Icons are loaded at the size wanted: the icon files hold every drawn size.
    HINSTANCE instance = lex::AfxGetResourceHandle();
    if (m_groupImages.Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0)) {
        for (UINT id : {IDI_TREE_GROUP, IDI_TREE_PAGE}) {
            HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            m_groupImages.Add(icon);
            if (icon)
                DestroyIcon(icon);
        }
    }
    SetGroupImages(m_groupImages.GetSafeHandle());
}

void COptionSheet::ReloadImagesForDpi(int dpi)
{
    LoadImages(dpi);
    // The tab control's list holds the page icons in page order; it takes the new size.
    HIMAGELIST tabImages = m_hWnd ? TabCtrl_GetImageList(GetTabControl()) : nullptr;
    int cx = 0, cy = 0;
    if (!tabImages || !m_pageIcons.GetIconSize(&cx, &cy))
        return;
    ImageList_SetIconSize(tabImages, cx, cy);
    for (int image : m_pageImages) {
        HICON icon = m_pageIcons.ExtractIcon(image);
        ImageList_ReplaceIcon(tabImages, -1, icon);
        if (icon)
            DestroyIcon(icon);
    }
}

void COptionSheet::AddOptionPage(std::unique_ptr<lex::CPropertyPage> page, int iconImage)
{
    m_pageImages.push_back(iconImage);
    page->m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
    SetPageIcon(page.get(), m_pageIcons.GetSafeHandle(), iconImage);
    AddPage(page.get());
    m_ownedPages.push_back(std::move(page));
}

void COptionSheet::AddOptionPageWithIcon(std::unique_ptr<lex::CPropertyPage> page, UINT iconId)
{
    page->m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
    // Shared: the system keeps it for the life of the process.
    HICON icon = static_cast<HICON>(
        LoadImageW(lex::AfxGetResourceHandle(), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, LR_SHARED));
    if (icon)
        SetPageIcon(page.get(), icon);
    AddPage(page.get());
    m_ownedPages.push_back(std::move(page));
}

void AddOptionPages(COptionSheet& sheet, const COptionContext& context)
{
    // One line per page, in the order of the tree.
    sheet.AddOptionPage(std::make_unique<COptionBaseBannerPage>(context), kOptionImageBanner);
    sheet.AddOptionPage(std::make_unique<COptionBaseDictPage>(context), kOptionImageDictionary);
    sheet.AddOptionPage(std::make_unique<COptionInterfaceMiscPage>(context), kOptionImageInterface);
    sheet.AddOptionPage(std::make_unique<COptionVoiceSoundPage>(context), kOptionImageVoice);
    sheet.AddOptionPageWithIcon(std::make_unique<COptionStudyPage>(context), IDI_STUDY_PAGE);
}

INT_PTR RunOptionSheet(const COptionContext& context, lex::CWnd* parent)
{
    for (BOOL* flag : {context.bannerChanged, context.dictChanged, context.interfaceChanged, context.studyChanged,
                       context.voiceChanged})
        SetOptionFlag(flag, FALSE);
    COptionSheet sheet(parent);
    AddOptionPages(sheet, context);
    sheet.SetActivePage(0);
    return sheet.DoModal();
}
