#include "dialogs/about_dlg.h"
#include "base/text.h"
#include "framework/app.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>

namespace {

// The sky takes the lower left of the box: from below the author's line to the
// bottom edge, and from the left edge to a little before the OK button (dialog units
// of the 284 x 139 template).
constexpr int kSkyTopDu = 93;
constexpr int kSkyRightMarginDu = 64;

std::string Credits(const std::string& productName)
{
    return "\t" + productName + "\n"
           "\n"
           "\r编程:\n"
           "羽湖工作室\n"
           "\n"
           "\r地址:\n"
           "Lexorin 开源项目\n"
           "\n"
           "\r(C) 2026 羽湖工作室\n"
           "\n"
           "\rAll rights reserved.\n"
           "\n"
           "\rdocs/index.html";
}

} // namespace

CAboutDlg::CAboutDlg(const AboutBoxInfo& info, lex::CWnd* owner) : lex::CDialog(IDD_ABOUTBOX, owner), m_info(info)
{
    const std::string credits = Credits(m_info.productName);
    m_clouds.SetCreditsText(credits.c_str());
}

CAboutDlg::~CAboutDlg()
{
    if (m_logoIcon)
        DestroyIcon(m_logoIcon);
}

void CAboutDlg::DoDataExchange(lex::CDataExchange* dx)
{
    lex::DDX_Control(dx, IDC_ABOUT_LOGO, m_logo);
    lex::DDX_Control(dx, IDC_ABOUT_CLOUDS, m_clouds);
    lex::DDX_Control(dx, IDC_ABOUT_HOMEPAGE, m_homePageLink);
    lex::DDX_Control(dx, IDC_ABOUT_MAIL, m_mailLink);
    lex::DDX_Control(dx, IDC_ABOUT_VERSION, m_version);
}

RECT CAboutDlg::SkyRect(int cx, int cy) const
{
    const RECT du = MapDialogUnits(RECT{0, kSkyTopDu, kSkyRightMarginDu, 0});
    RECT sky = {0, du.top, cx - du.right, cy};
    if (sky.right < sky.left)
        sky.right = sky.left;
    if (sky.bottom < sky.top)
        sky.bottom = sky.top;
    return sky;
}

BOOL CAboutDlg::OnInitDialog()
{
    // The sky's template slot is a small hidden box; it shows in its own strip instead,
    // placed before it is attached because the sky takes its size once, when attached.
    if (HWND sky = GetDlgItem(IDC_ABOUT_CLOUDS)) {
        RECT client;
        GetClientRect(&client);
        RECT r = SkyRect(client.right, client.bottom);
        ::SetWindowPos(sky, HWND_BOTTOM, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
    }
    lex::CDialog::OnInitDialog();

    LoadLogo();
    MakeHeadlineFont();

    m_version.SetWindowText(m_info.productName + m_info.version);

    SetUpLink(m_mailLink, std::string("mailto:") + kMailAddress);
    SetUpLink(m_homePageLink, m_info.programFolder + kHelpPage);

    m_clouds.SetMouseSteering(TRUE);
    m_clouds.ShowWindow(SW_SHOWNA);

    // In the middle of the screen the bar is on, which may be a second one.
    lex::CenterWindow(m_hWnd, nullptr, m_parent ? m_parent->m_hWnd : m_hWnd);
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    return TRUE;
}

void CAboutDlg::LoadLogo()
{
    HICON old = m_logoIcon;
    m_logoIcon = nullptr;
    // Logo: image 0 of a strip of 156-pixel-wide images, pure green see-through; from
    // 192 DPI on the strip drawn twice as large.
    const bool large = lex::PickDrawnSize(Dpi().Scale(16), {16, 32}) == 32;
    HIMAGELIST images = nullptr;
    if (large)
        images = ImageList_LoadImageW(lex::AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_ABOUT_LOGO_2X), 2 * 156, 1,
                                      RGB(0, 255, 0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (!images)
        images = ImageList_LoadImageW(lex::AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_ABOUT_LOGO), 156, 1,
                                      RGB(0, 255, 0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (images) {
        m_logoIcon = ImageList_GetIcon(images, 0, ILD_NORMAL);
        ImageList_Destroy(images);
        if (m_logoIcon)
            m_logo.SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(m_logoIcon));
    }
    if (old)
        DestroyIcon(old);
}

void CAboutDlg::MakeHeadlineFont()
{
    LOGFONTW lf = {};
    lf.lfHeight = Dpi().Scale(40);
    lf.lfWidth = Dpi().Scale(20);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(lf.lfFaceName, L"Impact");
    m_headlineFont.CreateFontIndirect(lf);
}

void CAboutDlg::OnDpiChanged(int)
{
    MakeHeadlineFont();
    LoadLogo();
    m_clouds.SetDpi(Dpi().Dpi());
}

void CAboutDlg::SetUpLink(CLinkStatic& link, const std::string& target)
{
    link.SetLinkUrl(target);
    link.SetUnderline(true);
    link.SetLinkCursor(LoadCursorW(lex::AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_CURSOR_165)));
    link.SetFitToText(true);
    link.SetMessageCaption(m_info.messageCaption);
}

void CAboutDlg::OnPaint()
{
    lex::CPaintDC dc(m_hWnd);
    RECT window;
    GetWindowRect(&window);
    lex::CBrush brush;
    brush.CreateSolidBrush(RGB(0, 0, 0));
    lex::CSelectObject font(dc.GetSafeHdc(), m_headlineFont.GetSafeHandle());
    const std::wstring text = lex::Widen(m_info.productName);
    DrawStateW(dc.GetSafeHdc(), brush.GetSafeHandle(), nullptr, reinterpret_cast<LPARAM>(text.c_str()),
               static_cast<WPARAM>(text.size()), Dpi().Scale(50), Dpi().Scale(6), window.right - window.left, window.bottom - window.top,
               DST_PREFIXTEXT | DSS_MONO | DSS_UNION);
}

LRESULT CAboutDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_NCHITTEST: {
        // Dragging by the body moves the box.
        LRESULT hit = Default();
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_SIZE: {
        LRESULT result = Default();
        if (m_clouds.IsWindow()) {
            RECT r = SkyRect(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            ::SetWindowPos(m_clouds.m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
        return result;
    }
    case WM_COMMAND:
        if (wParam == MAKEWPARAM(IDC_ABOUT_CLOUDS, STN_CLICKED)) {
            EndDialog(IDOK); // a click on the sky closes the box
            return 0;
        }
        break;
    case WM_DESTROY:
        if (m_logo.IsWindow())
            m_logo.SendMessage(STM_SETICON, 0);
        break;
    default:
        break;
    }
    return lex::CDialog::WindowProc(msg, wParam, lParam);
}
