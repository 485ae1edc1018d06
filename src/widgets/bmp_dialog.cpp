#include "widgets/bmp_dialog.h"
#include "base/text.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "resources/resource.h"
#include "widgets/bmp_file.h"
#include "widgets/bmp_preview.h"

namespace {

// Shared by every dialog of the process: whether the preview is on, and the bitmap on
// show (released on the next selection, when the switch goes off, on OK and when the
// next dialog starts).
bool g_previewOn = true;
HBITMAP g_preview = nullptr;

void ReleasePreview()
{
    if (g_preview)
        ::DeleteObject(g_preview);
    g_preview = nullptr;
}

} // namespace

CBmpDialog::CBmpDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                       const char* filter, lex::CWnd* parent)
    : lex::CFileDialog(openFileDialog, defaultExt, fileName, flags, filter, parent)
{
    SetFilter("Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*||");
    m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
    m_ofn.hInstance = lex::AfxGetResourceHandle();
    m_ofn.lpTemplateName = MAKEINTRESOURCEW(IDD_BMP_PREVIEW);
}

bool CBmpDialog::PreviewSwitch()
{
    return g_previewOn;
}

HBITMAP CBmpDialog::PreviewBitmap()
{
    return g_preview;
}

LRESULT CBmpDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DRAWITEM && wParam == kPreviewArea) {
        DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return lex::CFileDialog::WindowProc(msg, wParam, lParam);
}

BOOL CBmpDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lex::CommandId(wParam, lParam) != kPreviewCheck)
        return lex::CFileDialog::OnCommand(wParam, lParam);
    g_previewOn = ::IsDlgButtonChecked(m_hWnd, kPreviewCheck) == BST_CHECKED;
    if (g_previewOn) {
        ShowSelection();
    } else {
        ReleasePreview();
        ::InvalidateRect(GetDlgItem(kPreviewArea), nullptr, TRUE);
        ClearLabels();
    }
    return TRUE;
}

void CBmpDialog::OnInitDone()
{
    ReleasePreview();
    ::CheckDlgButton(m_hWnd, kPreviewCheck, g_previewOn ? BST_CHECKED : BST_UNCHECKED);
}

void CBmpDialog::OnFileNameChange()
{
    ShowSelection();
}

BOOL CBmpDialog::OnFileNameOK()
{
    ReleasePreview();
    return TRUE;
}

void CBmpDialog::ShowSelection()
{
    if (::IsDlgButtonChecked(m_hWnd, kPreviewCheck) != BST_CHECKED) {
        ReleasePreview();
        return;
    }
    const std::string path = GetSelectedFilePath();
    ReleasePreview();
    int64_t fileSize = -1;
    if (!path.empty())
        g_preview = lex::LoadBitmapFile(path, &fileSize);
    ::InvalidateRect(GetDlgItem(kPreviewArea), nullptr, TRUE);
    BITMAP bm;
    if (!g_preview || !::GetObjectW(g_preview, sizeof bm, &bm)) {
        ClearLabels();
        return;
    }
    auto setLabel = [this](int id, const std::string& text) {
        ::SetDlgItemTextW(m_hWnd, id, lex::Widen(text).c_str());
    };
    setLabel(kWidthLabel, lex::PreviewWidthText(bm.bmWidth));
    setLabel(kHeightLabel, lex::PreviewHeightText(bm.bmHeight));
    setLabel(kColoursLabel, lex::PreviewColoursText(bm.bmBitsPixel));
    setLabel(kSizeLabel, lex::PreviewFileSizeText(fileSize));
}

void CBmpDialog::ClearLabels()
{
    for (int id : {kWidthLabel, kHeightLabel, kColoursLabel, kSizeLabel})
        ::SetDlgItemTextW(m_hWnd, id, L"");
}

void CBmpDialog::DrawPreview(const DRAWITEMSTRUCT& item)
{
    // The area is cleared first, so the margins beside a scaled picture stay blank.
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    BITMAP bm;
    if (!g_preview || !::GetObjectW(g_preview, sizeof bm, &bm))
        return;
    const RECT& r = item.rcItem;
    const lex::PreviewRect to = lex::ScalePreview(bm.bmWidth, bm.bmHeight, {r.left, r.top, r.right, r.bottom});
    lex::CMemoryDC memDC;
    if (!memDC.CreateCompatibleDC(item.hDC))
        return;
    lex::CSelectObject select(memDC.GetSafeHdc(), g_preview);
    const int oldMode = ::SetStretchBltMode(item.hDC, HALFTONE);
    ::SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    ::StretchBlt(item.hDC, to.left, to.top, to.right - to.left, to.bottom - to.top, memDC.GetSafeHdc(), 0, 0,
                 bm.bmWidth, bm.bmHeight, SRCCOPY);
    ::SetStretchBltMode(item.hDC, oldMode);
}
