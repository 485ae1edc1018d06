#include "options/option_interface_page.h"
#include "base/text.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "widgets/bmp_dialog.h"
#include "widgets/bmp_file.h"

COptionInterfaceMiscPage::COptionInterfaceMiscPage(const COptionContext& context)
    : lex::CPropertyPage(IDD_OPTION_INTERFACE), m_context(context)
{
}

COptionInterfaceMiscPage::~COptionInterfaceMiscPage()
{
    // The preview static only shows the bitmap; the page owns it.
    if (m_preview.IsWindow())
        m_preview.SendMessage(STM_SETIMAGE, IMAGE_BITMAP, 0);
    if (m_previewBitmap)
        ::DeleteObject(m_previewBitmap);
}

void COptionInterfaceMiscPage::DoDataExchange(lex::CDataExchange* dx)
{
    lex::CPropertyPage::DoDataExchange(dx);
    lex::DDX_Control(dx, IDC_BK_BROWSE, m_browse);
    lex::DDX_Control(dx, IDC_BK_END_COLOR, m_endColor);
    lex::DDX_Control(dx, IDC_BK_START_COLOR, m_startColor);
    lex::DDX_Control(dx, IDC_BK_IMAGE, m_imageCheck);
    lex::DDX_Control(dx, IDC_BK_PREVIEW, m_preview);
    lex::DDX_Control(dx, IDC_BK_FILE, m_file);
    lex::DDX_Text(dx, IDC_BK_FILE, m_fileText);
    lex::DDX_Check(dx, IDC_BK_IMAGE, m_imageOn);
}

BOOL COptionInterfaceMiscPage::OnInitDialog()
{
    lex::CPropertyPage::OnInitDialog();
    lex::CSettings settings(m_context.settingsPath);
    m_imageOn = settings.InterfaceBKImage() ? 1 : 0;
    m_startImageOn = m_imageOn;
    EnableForImage();
    // The picture the bar shows now: the application's name, not the key, which a
    // browse may already have changed.
    if (m_imageOn)
        ShowPreview(m_context.backgroundFile);
    m_startStartColor = settings.InterfaceBKStartColor();
    m_startEndColor = settings.InterfaceBKEndColor();
    m_startColor.SelectColor(m_startStartColor);
    m_endColor.SelectColor(m_startEndColor);
    UpdateData(FALSE);
    m_file.SetWindowText(m_context.backgroundFile);
    return TRUE;
}

BOOL COptionInterfaceMiscPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (lex::CommandId(wParam, lParam)) {
        case IDC_BK_BROWSE:
            OnBrowse();
            return TRUE;
        case IDC_BK_IMAGE:
            OnImageCheck();
            return TRUE;
        default:
            break;
        }
    }
    return lex::CPropertyPage::OnCommand(wParam, lParam);
}

void COptionInterfaceMiscPage::OnImageCheck()
{
    UpdateData(TRUE);
    EnableForImage();
}

void COptionInterfaceMiscPage::EnableForImage()
{
    ::EnableWindow(m_file.m_hWnd, m_imageOn ? TRUE : FALSE);
    ::EnableWindow(m_browse.m_hWnd, m_imageOn ? TRUE : FALSE);
    ::EnableWindow(m_startColor.m_hWnd, m_imageOn ? FALSE : TRUE);
    ::EnableWindow(m_endColor.m_hWnd, m_imageOn ? FALSE : TRUE);
}

INT_PTR COptionInterfaceMiscPage::BrowseForBitmap(std::string* path)
{
    CBmpDialog dialog(TRUE, nullptr, nullptr, 0, "BMP Files (*.bmp)|*.bmp||", nullptr);
    // Start where the pictures are: the current picture's folder, or the Backgrounds
    // folder that ships with the program.
    std::string folder = m_context.backgroundFile;
    const size_t slash = folder.find_last_of('\\');
    folder = slash != std::string::npos ? folder.substr(0, slash) : std::string();
    if (folder.empty() || ::GetFileAttributesW(lex::Widen(folder).c_str()) == INVALID_FILE_ATTRIBUTES)
        folder = m_context.programFolder + "Backgrounds";
    const std::wstring initial = lex::Widen(folder);
    dialog.m_ofn.lpstrInitialDir = initial.c_str();
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK)
        *path = dialog.GetPathName();
    return result;
}

void COptionInterfaceMiscPage::OnBrowse()
{
    std::string path;
    if (BrowseForBitmap(&path) != IDOK || path.empty())
        return;
    m_file.SetWindowText(path);
    m_file.AddString(path);
    ShowPreview(path);
    // Written now, not at OK: Cancel of the sheet keeps it too.
    lex::CSettings(m_context.settingsPath).SetInterfaceBKImageFileName(path);
    RaiseOptionFlag(m_context.interfaceChanged);
}

void COptionInterfaceMiscPage::ShowPreview(const std::string& path)
{
    // A file that does not load leaves the preview empty.
    HBITMAP loaded = lex::LoadBitmapFile(path);
    m_preview.SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(loaded));
    if (m_previewBitmap)
        ::DeleteObject(m_previewBitmap);
    m_previewBitmap = loaded;
}

void COptionInterfaceMiscPage::OnOK()
{
    UpdateData(TRUE);
    lex::CSettings settings(m_context.settingsPath);
    // The changed keys go to the file as one replacement.
    lex::CSettingsGroup group(settings);
    if (m_imageOn != m_startImageOn) {
        settings.SetInterfaceBKImage(m_imageOn != 0);
        RaiseOptionFlag(m_context.interfaceChanged);
    }
    if (m_startColor.GetSelectedColor() != m_startStartColor) {
        settings.SetInterfaceBKStartColor(m_startColor.GetSelectedColor());
        RaiseOptionFlag(m_context.interfaceChanged);
    }
    if (m_endColor.GetSelectedColor() != m_startEndColor) {
        settings.SetInterfaceBKEndColor(m_endColor.GetSelectedColor());
        RaiseOptionFlag(m_context.interfaceChanged);
    }
    group.Commit();
    lex::CPropertyPage::OnOK();
}

BOOL COptionInterfaceMiscPage::OnApply()
{
    UpdateData(TRUE);
    return lex::CPropertyPage::OnApply();
}
