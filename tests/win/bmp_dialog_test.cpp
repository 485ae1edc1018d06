// The open-file dialog with its bitmap preview panel, driven through the system's own
// dialog: the file list's selection fills the labels and paints the preview, the check
// box switches the preview off and on for the rest of the process, and damaged or
// enormous files leave the labels empty without holding anything up.
#include "base/text.h"
#include "support/win_test_util.h"
#include "widgets/bmp_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A w x h picture of one colour at 24 or 32 bits, or only its first `keep` bytes.
std::string BitmapBytes(int w, int h, int bpp, COLORREF colour, size_t keep = std::string::npos)
{
    std::string b = wintest::BitmapFileBytes(w, h, bpp, [&](int, int) { return colour; });
    return keep < b.size() ? b.substr(0, keep) : b;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(lex::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string ItemText(HWND panel, int id)
{
    wchar_t text[256] = L"";
    GetDlgItemTextW(panel, id, text, 256);
    return lex::Narrow(text);
}

// Runs a dialog with a script: each step runs once the panel is up, one step per
// timer tick (so the dialog paints and handles its notifications in between). After
// the last step the dialog is cancelled unless a step ended it; a dialog still open
// after the time allowed is cancelled too, and the script counts as failed.
class ScriptedBmpDialog : public CBmpDialog {
public:
    using Step = std::function<void(HWND dialog, HWND panel)>;
    explicit ScriptedBmpDialog(const std::string& folder, lex::CWnd* parent = nullptr)
        : CBmpDialog(TRUE, nullptr, nullptr, 0, "BMP Files (*.bmp)|*.bmp||", parent)
    {
        m_folder = lex::Widen(folder);
        m_ofn.lpstrInitialDir = m_folder.c_str();
    }
    INT_PTR Run(std::vector<Step> steps)
    {
        s_self = this;
        m_steps = std::move(steps);
        m_next = 0;
        m_started = GetTickCount();
        UINT_PTR timer = ::SetTimer(nullptr, 0, 150, Tick);
        INT_PTR result = DoModal();
        ::KillTimer(nullptr, timer);
        s_self = nullptr;
        return result;
    }
    bool finished = false;
    bool timedOut = false;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ScriptedBmpDialog* self = s_self;
        if (!self || !self->m_hWnd)
            return;
        HWND dialog = self->GetFileDialog();
        if (GetTickCount() - self->m_started > 60000) {
            self->timedOut = true;
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        if (self->m_next < self->m_steps.size()) {
            Step step = self->m_steps[self->m_next++];
            step(dialog, self->m_hWnd);
        } else if (!self->finished) {
            self->finished = true;
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
    static ScriptedBmpDialog* s_self;
    std::wstring m_folder;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    DWORD m_started = 0;
};
ScriptedBmpDialog* ScriptedBmpDialog::s_self = nullptr;

// Selects the file whose name starts with stem in the dialog's file list, as a click
// would; how long the selection took to be handled goes to ms.
bool SelectFile(HWND dialog, const wchar_t* stem, DWORD* ms = nullptr)
{
    HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
    HWND list = view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
    if (!list)
        return false;
    LVFINDINFOW find = {};
    find.flags = LVFI_STRING | LVFI_PARTIAL;
    find.psz = stem;
    const int index = static_cast<int>(SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), (LPARAM)&find));
    if (index < 0)
        return false;
    LVITEMW none = {};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), (LPARAM)&none);
    LVITEMW item = none;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    const DWORD t0 = GetTickCount();
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), (LPARAM)&item);
    if (ms)
        *ms = GetTickCount() - t0;
    return true;
}

// The preview area's pixel at a fraction of its width and height, as the area paints
// itself into memory (windows of other tests may cover it on the screen).
COLORREF PreviewPixel(HWND panel, double fx, double fy)
{
    HWND area = GetDlgItem(panel, CBmpDialog::kPreviewArea);
    RECT r;
    GetClientRect(area, &r);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    SendMessageW(area, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
    COLORREF c = GetPixel(mem, static_cast<int>(r.right * fx), static_cast<int>(r.bottom * fy));
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    return c;
}

class BmpDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = wintest::MakeTempFolder("bmpdialog");
        WriteBytes(folder + "wide24.bmp", BitmapBytes(200, 100, 24, RGB(220, 30, 40)));
        WriteBytes(folder + "deep32.bmp", BitmapBytes(64, 64, 32, RGB(20, 160, 60)));
        WriteBytes(folder + "damaged.bmp", BitmapBytes(200, 100, 24, RGB(0, 0, 255), 3000));
        std::string huge = BitmapBytes(2, 2, 24, 0);
        huge[18] = huge[22] = static_cast<char>(0x60); // 60000 = 0xEA60
        huge[19] = huge[23] = static_cast<char>(0xEA);
        WriteBytes(folder + "huge.bmp", huge);
    }
    void TearDown() override { wintest::RemoveFolder(folder); }
    std::string folder;
};

bool IsRed(COLORREF c)
{
    return GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80;
}

TEST_F(BmpDialogTest, SelectingABitmapFillsTheLabelsAndPaintsTheScaledPicture)
{
    ScriptedBmpDialog dlg(folder);
    bool found24 = false, found32 = false;
    std::string width, height, colours, size, colours32, width32, size32;
    COLORREF centre = 0, aboveTop = 0, belowTop = 0;
    bool panelLinked = false, checkedAtStart = false;
    std::string filter;
    INT_PTR result = dlg.Run({
        [&](HWND dialog, HWND panel) {
            panelLinked = lex::CWnd::FromHandle(panel) == &dlg && GetParent(panel) == dialog;
            checkedAtStart = IsDlgButtonChecked(panel, CBmpDialog::kPreviewCheck) == BST_CHECKED;
            wchar_t type[128] = L"";
            GetDlgItemTextW(dialog, 1136 /* cmb1, file types */, type, 128);
            filter = lex::Narrow(type);
            found24 = SelectFile(dialog, L"wide24");
        },
        [&](HWND, HWND panel) {
            width = ItemText(panel, CBmpDialog::kWidthLabel);
            height = ItemText(panel, CBmpDialog::kHeightLabel);
            colours = ItemText(panel, CBmpDialog::kColoursLabel);
            size = ItemText(panel, CBmpDialog::kSizeLabel);
            // 200 x 100 in the area: the middle is picture, the top eighth is margin.
            centre = PreviewPixel(panel, 0.5, 0.5);
            aboveTop = PreviewPixel(panel, 0.5, 0.1);
            belowTop = PreviewPixel(panel, 0.5, 0.3);
        },
        [&](HWND dialog, HWND) { found32 = SelectFile(dialog, L"deep32"); },
        [&](HWND, HWND panel) {
            width32 = ItemText(panel, CBmpDialog::kWidthLabel);
            colours32 = ItemText(panel, CBmpDialog::kColoursLabel);
            size32 = ItemText(panel, CBmpDialog::kSizeLabel);
        },
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(dlg.timedOut);
    EXPECT_TRUE(panelLinked) << "the panel's object is linked inside the system's dialog";
    EXPECT_TRUE(checkedAtStart);
    EXPECT_EQ(filter, "Bitmaps (*.bmp)") << "the caller's filter is replaced";
    ASSERT_TRUE(found24) << "the file list shows the bitmaps of the initial folder";
    EXPECT_EQ(width, "宽度: 200 像素");
    EXPECT_EQ(height, "高度: 100 像素");
    EXPECT_EQ(colours, "颜色数: 16 millions");
    EXPECT_EQ(size, "文件大小: 58 Kb"); // 60,054 bytes
    EXPECT_TRUE(IsRed(centre)) << std::hex << centre;
    EXPECT_FALSE(IsRed(aboveTop)) << "a landscape picture is centred with margins above and below";
    EXPECT_TRUE(IsRed(belowTop)) << std::hex << belowTop;
    ASSERT_TRUE(found32);
    EXPECT_EQ(width32, "宽度: 64 像素");
    EXPECT_EQ(colours32, "") << "a 32-bit bitmap has no colour count";
    EXPECT_EQ(size32, "文件大小: 16 Kb");
}

TEST_F(BmpDialogTest, TheCheckBoxSwitchesThePreviewForTheRestOfTheProcess)
{
    std::string labelOff, labelBackOn, labelReopened;
    COLORREF off = 0, backOn = 0;
    bool checkedOnReopen = true;
    HBITMAP previewOff = reinterpret_cast<HBITMAP>(1);
    {
        ScriptedBmpDialog dlg(folder);
        dlg.Run({
            [&](HWND dialog, HWND) { SelectFile(dialog, L"wide24"); },
            [&](HWND, HWND panel) {
                SendDlgItemMessageW(panel, CBmpDialog::kPreviewCheck, BM_CLICK, 0, 0);
                labelOff = ItemText(panel, CBmpDialog::kWidthLabel) + ItemText(panel, CBmpDialog::kHeightLabel) +
                           ItemText(panel, CBmpDialog::kColoursLabel) + ItemText(panel, CBmpDialog::kSizeLabel);
                previewOff = CBmpDialog::PreviewBitmap();
            },
            [&](HWND, HWND panel) {
                off = PreviewPixel(panel, 0.5, 0.5);
                SendDlgItemMessageW(panel, CBmpDialog::kPreviewCheck, BM_CLICK, 0, 0);
                labelBackOn = ItemText(panel, CBmpDialog::kWidthLabel);
            },
            [&](HWND, HWND panel) {
                backOn = PreviewPixel(panel, 0.5, 0.5);
                SendDlgItemMessageW(panel, CBmpDialog::kPreviewCheck, BM_CLICK, 0, 0); // off again, and close
            },
        });
    }
    EXPECT_EQ(labelOff, "") << "clearing the box blanks every label at once";
    EXPECT_EQ(previewOff, nullptr);
    EXPECT_FALSE(IsRed(off));
    EXPECT_EQ(labelBackOn, "宽度: 200 像素") << "checking it again previews the selection without a new click";
    EXPECT_TRUE(IsRed(backOn));
    EXPECT_FALSE(CBmpDialog::PreviewSwitch());
    {
        ScriptedBmpDialog dlg(folder);
        dlg.Run({
            [&](HWND dialog, HWND panel) {
                checkedOnReopen = IsDlgButtonChecked(panel, CBmpDialog::kPreviewCheck) == BST_CHECKED;
                SelectFile(dialog, L"wide24");
            },
            [&](HWND, HWND panel) {
                labelReopened = ItemText(panel, CBmpDialog::kWidthLabel);
                SendDlgItemMessageW(panel, CBmpDialog::kPreviewCheck, BM_CLICK, 0, 0); // leave it on
            },
        });
    }
    EXPECT_FALSE(checkedOnReopen) << "the switch survives closing the dialog";
    EXPECT_EQ(labelReopened, "");
    EXPECT_TRUE(CBmpDialog::PreviewSwitch());
}

TEST_F(BmpDialogTest, DamagedAndEnormousFilesLeaveTheLabelsEmptyAndNothingWaits)
{
    ScriptedBmpDialog dlg(folder);
    std::string afterDamaged = "x", afterHuge = "x";
    DWORD damagedMs = 0, hugeMs = 0;
    bool found = false;
    HBITMAP previewHuge = reinterpret_cast<HBITMAP>(1);
    dlg.Run({
        [&](HWND dialog, HWND) { SelectFile(dialog, L"wide24"); },
        [&](HWND dialog, HWND) { found = SelectFile(dialog, L"damaged", &damagedMs); },
        [&](HWND dialog, HWND panel) {
            afterDamaged = ItemText(panel, CBmpDialog::kWidthLabel) + ItemText(panel, CBmpDialog::kSizeLabel);
            SelectFile(dialog, L"huge", &hugeMs);
        },
        [&](HWND, HWND panel) {
            afterHuge = ItemText(panel, CBmpDialog::kWidthLabel) + ItemText(panel, CBmpDialog::kHeightLabel) +
                        ItemText(panel, CBmpDialog::kColoursLabel) + ItemText(panel, CBmpDialog::kSizeLabel);
            previewHuge = CBmpDialog::PreviewBitmap();
        },
    });
    EXPECT_FALSE(dlg.timedOut);
    ASSERT_TRUE(found);
    EXPECT_EQ(afterDamaged, "") << "a file cut short is not shown";
    EXPECT_EQ(afterHuge, "") << "60000 x 60000 is refused before decoding";
    EXPECT_EQ(previewHuge, nullptr);
    EXPECT_LT(damagedMs, 1000u);
    EXPECT_LT(hugeMs, 1000u);
}

TEST_F(BmpDialogTest, OkReturnsThePathReleasesThePreviewAndTheOwnerWasDisabledMeanwhile)
{
    // Opened from a child control: the control's top-level window owns the dialog.
    lex::CWnd owner, child;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, 0));
    ASSERT_TRUE(child.CreateEx(0, L"STATIC", "child", WS_CHILD | WS_VISIBLE, 5, 5, 50, 20, owner.m_hWnd, 1));
    ScriptedBmpDialog dlg(folder, &child);
    BOOL ownerEnabledMeanwhile = TRUE;
    HWND dialogOwner = nullptr;
    INT_PTR result = dlg.Run({
        [&](HWND dialog, HWND) {
            ownerEnabledMeanwhile = IsWindowEnabled(owner.m_hWnd);
            dialogOwner = GetWindow(dialog, GW_OWNER);
            SelectFile(dialog, L"wide24");
        },
        [&](HWND dialog, HWND) {
            dlg.finished = true;
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        },
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.GetPathName(), folder + "wide24.bmp");
    EXPECT_EQ(CBmpDialog::PreviewBitmap(), nullptr) << "released when the file is accepted";
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_EQ(dialogOwner, owner.m_hWnd);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
}

} // namespace
