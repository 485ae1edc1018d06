#include "settings/option_sheet.h"
#include "framework/app.h"
#include "resources/resource.h"
#include "settings/option_banner_page.h"
#include "settings/option_dict_page.h"
#include "settings/option_interface_page.h"
#include "settings/option_study_page.h"
#include "settings/option_voice_page.h"

COptionSheet::COptionSheet(lex::CWnd* parent) : CTreePropSheet("选项", parent, 0)
{
    HINSTANCE instance = lex::AfxGetResourceHandle();
    m_pageIcons.CreateFromBitmap(instance, IDB_OPTION_IMAGES, 16, kOptionImagesMask);
    if (m_groupImages.Create(16, 16, ILC_COLOR16 | ILC_MASK, 2, 0)) {
        for (UINT id : {IDI_TREE_GROUP, IDI_TREE_PAGE}) {
            HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
            m_groupImages.Add(icon);
            if (icon)
                DestroyIcon(icon);
        }
    }
    SetGroupImages(m_groupImages.GetSafeHandle());
    m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    SetEmptyPageText("请在 '%s'中选取一个子项.");
    SetTreeMode(TRUE, TRUE, TRUE);
}

void COptionSheet::AddOptionPage(std::unique_ptr<lex::CPropertyPage> page, int iconImage)
{
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
    sheet.AddOptionPage(std::make_unique<COptionVoiceSoundPage>(), kOptionImageVoice);
    sheet.AddOptionPageWithIcon(std::make_unique<COptionStudyPage>(context), IDI_STUDY_PAGE);
}

INT_PTR RunOptionSheet(const COptionContext& context, lex::CWnd* parent)
{
    for (BOOL* flag : {context.bannerChanged, context.dictChanged, context.interfaceChanged, context.studyChanged})
        SetOptionFlag(flag, FALSE);
    COptionSheet sheet(parent);
    AddOptionPages(sheet, context);
    sheet.SetActivePage(0);
    return sheet.DoModal();
}
