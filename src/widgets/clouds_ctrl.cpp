#include "widgets/clouds_ctrl.h"
#include "base/text.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

// The credits a host that sets none shows.
const char kDefaultCredits[] =
    "\tCCloudsCtrl\n"
    "\n"
    "\rProgrammed by:\n"
    "The Lexorin team\n"
    "\n"
    "Free to use and share\n"
    "with this notice kept.\n"
    "\n"
    "\rdocs/index.html\n";

HFONT MakeCreditsFont(int height, int weight)
{
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 6, L"Arial");
}

} // namespace

CCloudsCtrl::CCloudsCtrl() : m_credits(kDefaultCredits) {}

CCloudsCtrl::~CCloudsCtrl()
{
    Release();
}

void CCloudsCtrl::Release()
{
    if (m_oldFrameBitmap) {
        m_frameDC.SelectObject(m_oldFrameBitmap);
        m_oldFrameBitmap = nullptr;
    }
    if (m_oldTextBitmap) {
        m_textDC.SelectObject(m_oldTextBitmap);
        m_oldTextBitmap = nullptr;
    }
    m_frameDC.DeleteDC();
    m_textDC.DeleteDC();
    m_frameBitmap.DeleteObject();
    m_textBitmap.DeleteObject();
    m_dib.DeleteObject();
    m_bits = nullptr;
}

void CCloudsCtrl::SetCreditsText(const char* text)
{
    m_credits = text ? text : "";
}

void CCloudsCtrl::PreSubclassWindow()
{
    m_dpi.SetFromWindow(m_hWnd);
    RECT client;
    GetClientRect(&client);
    Build(client.right - client.left, client.bottom - client.top);
}

void CCloudsCtrl::SetDpi(int dpi)
{
    if (dpi == m_dpi.Dpi())
        return;
    m_dpi.SetDpi(dpi);
    if (IsWindow())
        Rebuild(m_width, m_height);
}

void CCloudsCtrl::Rebuild(int width, int height)
{
    // The layers, the credits and the frame are all made anew.
    const bool visible = (GetStyle() & WS_VISIBLE) != 0;
    UpdateTimer(false);
    Release();
    Build(width, height);
    UpdateTimer(visible);
}

void CCloudsCtrl::Build(int width, int height)
{
    m_width = width;
    m_height = height;
    // An empty control has nothing to hold the layers and nothing to wrap around.
    if (m_width <= 0 || m_height <= 0)
        return;

    HDC screen = GetDC(nullptr);
    m_info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    m_info.bmiHeader.biWidth = m_width;
    m_info.bmiHeader.biHeight = m_height; // bottom-up rows
    m_info.bmiHeader.biPlanes = 1;
    m_info.bmiHeader.biBitCount = 32;
    m_info.bmiHeader.biCompression = BI_RGB;
    m_info.bmiHeader.biSizeImage = static_cast<DWORD>(m_width) * m_height * 4;
    void* bits = nullptr;
    m_dib.Attach(CreateDIBSection(screen, &m_info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_bits = static_cast<uint32_t*>(bits);
    RenderCredits(screen);
    ReleaseDC(nullptr, screen);
    if (!m_bits || !m_textDC.GetSafeHdc()) {
        Release();
        return;
    }

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_sky.Create(m_width, m_height, [] { return std::rand(); });
    m_textPos = m_height + m_dpi.Scale(25);
    RenderFrame();
    UpdateTimer((GetStyle() & WS_VISIBLE) != 0);
}

void CCloudsCtrl::RenderCredits(HDC screen)
{
    struct Line {
        std::wstring text;
        const lex::CFont* font;
        int top;
    };
    lex::CFont title, heading, body;
    title.Attach(MakeCreditsFont(m_dpi.Scale(24), FW_BOLD));
    heading.Attach(MakeCreditsFont(m_dpi.Scale(16), FW_BOLD));
    body.Attach(MakeCreditsFont(m_dpi.Scale(14), 0));

    if (!m_textDC.CreateCompatibleDC(screen))
        return;
    HDC dc = m_textDC.GetSafeHdc();
    // Lay the lines out first: each advances by its font's character height.
    std::vector<Line> lines;
    int y = 0;
    size_t start = 0;
    for (;;) {
        size_t end = m_credits.find('\n', start);
        if (end == std::string::npos)
            end = m_credits.size();
        std::string text = m_credits.substr(start, end - start);
        const lex::CFont* font = &body;
        if (!text.empty() && text[0] == '\t') {
            font = &title;
            text.erase(0, text.find_first_not_of('\t'));
        } else if (!text.empty() && text[0] == '\r') {
            font = &heading;
            text.erase(0, text.find_first_not_of('\r'));
        }
        lines.push_back(Line{lex::Widen(text), font, y});
        lex::CSelectObject select(dc, font->GetSafeHandle());
        TEXTMETRICW tm = {};
        GetTextMetricsW(dc, &tm);
        y += tm.tmHeight;
        if (end == m_credits.size())
            break;
        start = end + 1;
    }
    // The bitmap holds the whole text, however much taller than the sky it is.
    m_creditsHeight = std::max(m_height, y);
    if (!m_textBitmap.CreateCompatibleBitmap(screen, m_width, m_creditsHeight)) {
        m_textDC.DeleteDC();
        return;
    }
    m_oldTextBitmap = m_textDC.SelectObject(m_textBitmap.GetSafeHandle());
    RECT all = {0, 0, m_width, m_creditsHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (const Line& line : lines) {
        lex::CSelectObject select(dc, line.font->GetSafeHandle());
        RECT r = {0, line.top, m_width, m_creditsHeight};
        DrawTextW(dc, line.text.c_str(), static_cast<int>(line.text.size()), &r,
                  DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void CCloudsCtrl::RenderFrame()
{
    if (!m_sky.IsReady() || !m_bits)
        return;
    if (!m_frameDC.GetSafeHdc()) {
        lex::CClientDC dc(m_hWnd);
        m_frameDC.CreateCompatibleDC(dc.GetSafeHdc());
        m_frameBitmap.CreateCompatibleBitmap(dc.GetSafeHdc(), m_width, m_height);
        m_oldFrameBitmap = m_frameDC.SelectObject(m_frameBitmap.GetSafeHandle());
    }
    m_sky.Advance();
    GdiFlush(); // GDI must be done with the section before we write into it
    m_sky.Mix(m_bits);
    HDC frame = m_frameDC.GetSafeHdc();
    SetDIBitsToDevice(frame, 0, 0, static_cast<DWORD>(m_width), static_cast<DWORD>(m_height), 0, 0, 0,
                      static_cast<UINT>(m_height), m_bits, &m_info, DIB_RGB_COLORS);
    // NOT source OR destination: the white paper leaves the clouds, black letters turn white.
    BitBlt(frame, 0, m_textPos, m_width, m_creditsHeight, m_textDC.GetSafeHdc(), 0, 0, MERGEPAINT);
    m_textPos = lex::NextCreditsPosition(m_textPos, m_height, m_creditsHeight);
    if (m_hWnd)
        Invalidate(FALSE);
}

void CCloudsCtrl::UpdateTimer(bool visible)
{
    const bool run = visible && m_sky.IsReady() && m_bits;
    if (run && !m_timerRunning)
        m_timerRunning = SetTimer(kFrameTimer, kFramePeriodMs) != 0;
    else if (!run && m_timerRunning) {
        KillTimer(kFrameTimer);
        m_timerRunning = false;
    }
}

void CCloudsCtrl::OnPaint()
{
    lex::CPaintDC dc(m_hWnd);
    if (m_frameDC.GetSafeHdc())
        BitBlt(dc.GetSafeHdc(), 0, 0, m_width, m_height, m_frameDC.GetSafeHdc(), 0, 0, SRCCOPY);
}

void CCloudsCtrl::OnSize(int width, int height)
{
    if (width == m_width && height == m_height)
        return;
    // The layers, the credits and the frame are all of the control's size.
    Rebuild(width, height);
}

void CCloudsCtrl::OnMouseMove(int x, int y)
{
    m_sky.Motion().MouseMove(x, y);
}

void CCloudsCtrl::OnLButtonDown()
{
    ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), STN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CCloudsCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_TIMER:
        RenderFrame();
        break;
    case WM_SIZE:
        OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_LBUTTONDOWN: {
        HWND self = m_hWnd;
        OnLButtonDown();
        if (!::IsWindow(self))
            return 0;
        break;
    }
    case WM_SHOWWINDOW:
        // Hidden, the sky is not drawn, so it does not need to move either.
        UpdateTimer(wParam != FALSE);
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
            UpdateTimer((pos->flags & SWP_SHOWWINDOW) != 0);
        break;
    }
    case WM_DESTROY:
        UpdateTimer(false);
        break;
    default:
        break;
    }
    return lex::CStatic::WindowProc(msg, wParam, lParam);
}
