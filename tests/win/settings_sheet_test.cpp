// The tree property sheet with real pages under Wine: its layout beside the same sheet
// with tabs, the caption strip, group nodes, keyboard navigation, a page that refuses
// to be left, which pages save on OK; and the dictionary and voice pages.
#include "base/text.h"
#include "framework/app.h"
#include "resources/resource.h"
#include "options/option_dict_page.h"
#include "options/option_sheet.h"
#include "options/option_voice_page.h"
#include "treesheet/page_frame.h"
#include "framework/gdi.h"
#include "settings/settings.h"
#include "treesheet/tree_prop_sheet.h"
#include "support/test_ids.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

using namespace lex;

namespace {

// A sheet that runs a list of steps inside its own modal loop, one per posted
// message, so that input posted by one step is handled before the next. It presses
// Cancel after the last step unless a step ended the sheet.
template <class Base>
class Scripted : public Base {
public:
    using Step = std::function<void(Scripted&)>;
    template <class... Args>
    explicit Scripted(Args&&... args) : Base(std::forward<Args>(args)...)
    {
    }
    std::vector<Step> steps;

    BOOL OnInitDialog() override
    {
        BOOL result = Base::OnInitDialog();
        this->PostMessage(WM_APP);
        this->SetTimer(1, 30000); // a hung script must not hang the test run
        return result;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_APP) {
            if (m_next < steps.size()) {
                steps[m_next++](*this);
                this->PostMessage(WM_APP);
            } else {
                this->SendMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
            }
            return 0;
        }
        if (msg == WM_TIMER && wParam == 1) {
            ADD_FAILURE() << "script timed out";
            this->SendMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
            return 0;
        }
        return Base::WindowProc(msg, wParam, lParam);
    }

    // Access for the checks.
    using CTreePropSheet::GetPageFrame;
    using CTreePropSheet::GetPageTreeWindow;

private:
    size_t m_next = 0;
};
using ScriptedSheet = Scripted<CTreePropSheet>;

class TestPage : public CPropertyPage {
public:
    explicit TestPage(UINT id) : CPropertyPage(id) {}
    int applies = 0;
    BOOL linkedAtInit = FALSE;
    BOOL refuseLeave = FALSE;
    BOOL OnInitDialog() override
    {
        linkedAtInit = CWnd::FromHandle(m_hWnd) == this;
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnKillActive() override { return refuseLeave ? FALSE : CPropertyPage::OnKillActive(); }
    BOOL OnApply() override
    {
        ++applies;
        return CPropertyPage::OnApply();
    }
};

struct TestPages {
    TestPage p1{IDD_TEST_PAGE_1}, p2{IDD_TEST_PAGE_2}, p3{IDD_TEST_PAGE_3}, p4{IDD_TEST_PAGE_4};
    std::vector<TestPage*> All() { return {&p1, &p2, &p3, &p4}; }
};

// The program's sheet look: page icons from bitmap 282, group images 185 and 186.
struct SheetImages {
    CImageList pages, groups;
    SheetImages()
    {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        pages.CreateFromBitmap(instance, IDB_OPTION_IMAGES, 16, RGB(0, 128, 128));
        groups.Create(16, 16, ILC_COLOR16 | ILC_MASK, 2, 0);
        for (UINT id : {IDI_TREE_GROUP, IDI_TREE_PAGE}) {
            HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
            groups.Add(icon);
            DestroyIcon(icon);
        }
    }
    void Apply(CTreePropSheet& sheet, TestPages& pages_)
    {
        EXPECT_TRUE(sheet.SetGroupImages(groups.GetSafeHandle()));
        int i = 0;
        for (TestPage* page : pages_.All())
            EXPECT_TRUE(sheet.SetPageIcon(page, pages.GetSafeHandle(), i++));
        sheet.SetEmptyPageText("请在 '%s'中选取一个子项.");
        EXPECT_TRUE(sheet.SetTreeMode(TRUE, TRUE, TRUE));
    }
};

// A node's text; empty if the tree does not give it.
bool NodeText(HWND tree, HTREEITEM node, std::string* text)
{
    wchar_t buffer[128] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = 128;
    const bool got = node && SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    *text = Narrow(buffer);
    return got;
}

HTREEITEM FindNode(HWND tree, const std::string& text, HTREEITEM from = TVI_ROOT)
{
    for (HTREEITEM node = from == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, from); node;
         node = TreeView_GetNextSibling(tree, node)) {
        std::string nodeText;
        NodeText(tree, node, &nodeText);
        if (nodeText == text)
            return node;
        if (HTREEITEM found = FindNode(tree, text, node))
            return found;
    }
    return nullptr;
}

std::string SelectedText(HWND tree)
{
    std::string text;
    return NodeText(tree, TreeView_GetSelection(tree), &text) ? text : "<none>";
}

RECT WindowRectIn(HWND parent, HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND CurrentPage(CPropertySheet& sheet)
{
    return reinterpret_cast<HWND>(sheet.SendMessage(PSM_GETCURRENTPAGEHWND));
}

int Channel(COLORREF c, int shift)
{
    return static_cast<int>((c >> shift) & 0xFF);
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    for (int s : {0, 8, 16})
        if (std::abs(Channel(a, s) - Channel(b, s)) > tolerance)
            return false;
    return true;
}

void PressCtrlTab(HWND target, bool shift)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(target, WM_KEYDOWN, VK_TAB, 1);
}

void ReleaseKeys()
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

} // namespace

TEST(TreeSheet, TreeReplacesTabsBesideThePagesWithACaptionStrip)
{
    int plainWidth = 0;
    {
        TestPages pages;
        Scripted<CTreePropSheet> plain("选项");
        EXPECT_TRUE(plain.SetTreeMode(FALSE));
        for (TestPage* p : pages.All())
            plain.AddPage(p);
        plain.steps.push_back([&](Scripted<CTreePropSheet>& s) {
            RECT r;
            s.GetWindowRect(&r);
            plainWidth = r.right - r.left;
            EXPECT_EQ(s.GetPageTreeWindow(), nullptr);
            EXPECT_TRUE(IsWindowVisible(s.GetTabControl()));
        });
        EXPECT_EQ(plain.DoModal(), IDCANCEL);
    }
    ASSERT_GT(plainWidth, 0);

    TestPages pages;
    SheetImages images;
    ScriptedSheet sheet("选项");
    for (TestPage* p : pages.All())
        sheet.AddPage(p);
    images.Apply(sheet, pages);
    // Measures the sheet draws itself scale with the DPI; those of the templates the
    // system scales.
    const int treeWidth = wintest::AtTestDpi(150, 225, 300), treeGap = wintest::AtTestDpi(5, 8, 10);
    const int iconLeft = wintest::AtTestDpi(3, 5, 6), textLeft = iconLeft + 16 + wintest::AtTestDpi(2, 3, 4);
    // The strip is as high as a row of tabs, and the page sits in the hidden tabs'
    // display area: both follow the system font and the tab control's margins, which
    // under Wine grow by less than the DPI ratio.
    const int stripHeight = wintest::AtTestDpi(22, 31, 39);
    const POINT pageAt = {wintest::AtTestDpi(160, 238, 315), wintest::AtTestDpi(30, 41, 52)};
    sheet.steps.push_back([&](ScriptedSheet& s) {
        EXPECT_FALSE(s.SetTreeMode(FALSE)) << "refused once the window exists";
        RECT r;
        s.GetWindowRect(&r);
        EXPECT_EQ(r.right - r.left, plainWidth + treeWidth);
        HWND tree = s.GetPageTreeWindow();
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(GetDlgCtrlID(tree), 0x7EEE);
        HWND frame = s.GetPageFrame()->GetFrameWindow()->m_hWnd;
        EXPECT_FALSE(IsWindowVisible(s.GetTabControl()));
        EXPECT_FALSE(IsWindowEnabled(s.GetTabControl()));
        RECT tr = WindowRectIn(s.m_hWnd, tree), fr = WindowRectIn(s.m_hWnd, frame);
        EXPECT_EQ(tr.right + treeGap, fr.left) << "the tree ends 5 pixels (at 96 DPI) before the frame";
        EXPECT_EQ(tr.top, fr.top);
        const RECT pr = WindowRectIn(s.m_hWnd, CurrentPage(s));
        EXPECT_EQ(pr.left, pageAt.x);
        EXPECT_EQ(pr.top, pageAt.y);
        // The page's whole template, in its own font, shows inside the frame.
        RECT units = {0, 0, 200, 120};
        MapDialogRect(CurrentPage(s), &units);
        EXPECT_LE(pr.left + units.right, fr.right) << "the page is cut off at the right";
        EXPECT_LE(pr.top + units.bottom, fr.bottom) << "the page is cut off at the bottom";
        // Three groups with their pages; the first page's node is selected.
        EXPECT_EQ(TreeView_GetCount(tree), 7u);
        EXPECT_EQ(SelectedText(tree), "滚动条");
        HTREEITEM group = FindNode(tree, "基本设置");
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(TreeView_GetParent(tree, FindNode(tree, "字典")), group) << "one shared group node";

        // The caption strip: from the inactive-caption colour on the left to the face
        // colour on the right, the page's icon near the left, the node's text.
        EXPECT_EQ(s.GetPageFrame()->GetCaptionText(), "滚动条");
        UpdateWindow(frame);
        RECT strip = s.GetPageFrame()->GetCaptionRect();
        int height = strip.bottom - strip.top;
        EXPECT_EQ(height, stripHeight);
        ASSERT_GE(height, 16);
        HDC dc = GetDC(frame);
        EXPECT_TRUE(Near(GetPixel(dc, 0, 0), GetSysColor(COLOR_INACTIVECAPTION), 2));
        EXPECT_TRUE(Near(GetPixel(dc, strip.right - 2, 0), GetSysColor(COLOR_3DFACE), 3));
        COLORREF middle = GetPixel(dc, strip.right / 2, 0);
        for (int shift : {0, 8, 16}) {
            int a = Channel(GetSysColor(COLOR_INACTIVECAPTION), shift), b = Channel(GetSysColor(COLOR_3DFACE), shift);
            EXPECT_LE(std::abs(Channel(middle, shift) - (a + b) / 2), 3) << "halfway colour at the middle";
        }
        int iconPixels = 0, textPixels = 0;
        for (int y = 1; y < height; ++y) {
            for (int x = iconLeft; x < iconLeft + 16; ++x)
                iconPixels += GetPixel(dc, x, y) != GetPixel(dc, x, 0);
            for (int x = textLeft + 1; x < textLeft + 59; ++x)
                textPixels += Near(GetPixel(dc, x, y), GetSysColor(COLOR_CAPTIONTEXT), 40)
                              && !Near(GetPixel(dc, x, 0), GetSysColor(COLOR_CAPTIONTEXT), 40);
        }
        ReleaseDC(frame, dc);
        EXPECT_GT(iconPixels, 30) << "the page icon";
        EXPECT_GT(textPixels, 10) << "the node text";
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

TEST(TreeSheet, GroupNodesKeysAndRefusingPagesFollowTheTree)
{
    TestPages pages;
    SheetImages images;
    ScriptedSheet sheet("选项");
    for (TestPage* p : pages.All())
        sheet.AddPage(p);
    images.Apply(sheet, pages);
    auto select = [](ScriptedSheet& s, const char* text) {
        TreeView_SelectItem(s.GetPageTreeWindow(), FindNode(s.GetPageTreeWindow(), text));
    };
    sheet.steps = {
        [&](ScriptedSheet& s) {
            EXPECT_TRUE(pages.p1.linkedAtInit) << "the page object saw its own WM_INITDIALOG";
            // A group node hides the page and shows the message, centred in the frame.
            select(s, "基本设置");
            EXPECT_FALSE(IsWindowVisible(CurrentPage(s)));
            CPageFrame* frame = s.GetPageFrame();
            EXPECT_EQ(frame->GetMessageText(), "请在 '基本设置'中选取一个子项.");
            EXPECT_EQ(frame->GetCaptionText(), "基本设置");
            HWND fw = frame->GetFrameWindow()->m_hWnd;
            UpdateWindow(fw);
            RECT m = frame->GetMessageRect();
            HDC dc = GetDC(fw);
            COLORREF face = GetSysColor(COLOR_3DFACE);
            int left = m.right, right = m.left, top = m.bottom, bottom = m.top;
            for (int y = m.top; y < m.bottom; ++y)
                for (int x = m.left; x < m.right; ++x)
                    if (GetPixel(dc, x, y) != face) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            ReleaseDC(fw, dc);
            ASSERT_LT(left, right) << "message drawn";
            EXPECT_GT(right - left, 100);
            EXPECT_LE(std::abs((left + right) / 2 - (m.left + m.right) / 2), 3);
            EXPECT_LE(std::abs((top + bottom) / 2 - (m.top + m.bottom) / 2), 3);
        },
        [&](ScriptedSheet& s) {
            // Back to a page: it shows again and its node stays selected.
            select(s, "滚动条");
            EXPECT_TRUE(IsWindowVisible(CurrentPage(s)));
            select(s, "字典");
            EXPECT_EQ(s.GetActiveIndex(), 1);
            EXPECT_EQ(SelectedText(s.GetPageTreeWindow()), "字典");
            EXPECT_TRUE(IsWindowVisible(pages.p2.m_hWnd));
            EXPECT_EQ(s.GetPageFrame()->GetCaptionText(), "字典");
            select(s, "声音");
            PressCtrlTab(s.GetPageTreeWindow(), false);
        },
        [&](ScriptedSheet& s) {
            EXPECT_EQ(SelectedText(s.GetPageTreeWindow()), "基本设置") << "Ctrl+Tab wraps to the first node";
            PressCtrlTab(s.GetPageTreeWindow(), true);
        },
        [&](ScriptedSheet& s) {
            ReleaseKeys();
            EXPECT_EQ(SelectedText(s.GetPageTreeWindow()), "声音") << "Ctrl+Shift+Tab wraps back";
            EXPECT_EQ(s.GetActiveIndex(), 3);
            // The page refuses to be left: tree and page stay.
            pages.p4.refuseLeave = TRUE;
            select(s, "杂项");
            EXPECT_EQ(SelectedText(s.GetPageTreeWindow()), "声音");
            EXPECT_EQ(s.GetActiveIndex(), 3);
            select(s, "语音设置");
            EXPECT_EQ(SelectedText(s.GetPageTreeWindow()), "声音");
            EXPECT_TRUE(IsWindowVisible(pages.p4.m_hWnd));
            pages.p4.refuseLeave = FALSE;
            s.SendMessage(PSM_PRESSBUTTON, PSBTN_OK);
        },
    };
    EXPECT_EQ(sheet.DoModal(), IDOK);
    // OK saves the pages shown during this opening, and only those.
    EXPECT_EQ(pages.p1.applies, 1);
    EXPECT_EQ(pages.p2.applies, 1);
    EXPECT_EQ(pages.p3.applies, 0) << "never shown";
    EXPECT_EQ(pages.p4.applies, 1);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
}

namespace {

void WriteText(const std::string& path, const std::string& text)
{
    HANDLE f = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

std::string ReadText(const std::string& path)
{
    std::string text;
    HANDLE f = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n)
        text.append(buffer, n);
    CloseHandle(f);
    return text;
}

std::vector<std::string> ListItems(HWND combo)
{
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t buffer[MAX_PATH] = {};
        COMBOBOXEXITEMW item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = i;
        item.pszText = buffer;
        item.cchTextMax = MAX_PATH;
        SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(item.iImage, 1);
        EXPECT_EQ(item.iSelectedImage, 2);
        out.push_back(Narrow(buffer));
    }
    return out;
}

// A sheet with the dictionary and voice pages over a program folder.
struct DictSheetRun {
    COptionContext context;
    BOOL dictChanged = FALSE; // as the opening of the sheet leaves it
    BOOL voiceChanged = FALSE;
    std::unique_ptr<COptionBaseDictPage> page;
    std::unique_ptr<COptionVoiceSoundPage> voicePage;
    Scripted<COptionSheet> sheet;
    explicit DictSheetRun(const std::string& folder)
    {
        context.programFolder = folder;
        context.settingsPath = folder + "Lexorin.ini";
        context.dictChanged = &dictChanged;
        context.voiceChanged = &voiceChanged;
        page = std::make_unique<COptionBaseDictPage>(context);
        voicePage = std::make_unique<COptionVoiceSoundPage>(context);
        sheet.AddPage(page.get());
        sheet.AddPage(voicePage.get());
    }
};

} // namespace

TEST(DictPage, ListsDictionariesInReverseSearchOrderAndStoresTheChoice)
{
    std::string folder = wintest::MakeTempFolder("dictpage");
    CreateDirectoryW(Widen(folder + "Dictionary").c_str(), nullptr);
    for (const char* name : {"a", "ABC", "缺省字典", "b", "c", "d"})
        WriteText(folder + "Dictionary\\" + name + ".KM", "word/phon/meaning\r\n");
    // Folders named like dictionaries, before and after the files in name order.
    for (const char* stray : {"0.KM", "x.KM", "新.KM"})
        CreateDirectoryW(Widen(folder + "Dictionary\\" + stray).c_str(), nullptr);
    // A name code page 936 cannot hold (Thai) is left out rather than listed mangled.
    HANDLE thai = CreateFileW((Widen(folder + "Dictionary\\") + L"\x0e44\x0e17\x0e22.KM").c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(thai, INVALID_HANDLE_VALUE);
    CloseHandle(thai);
    WriteText(folder + "Lexorin.ini", "[Dict]\r\nDictName=abc\r\n");

    // What the page must show: every file the search finds, last first; the folders
    // named like dictionaries are passed over wherever the search hands them out.
    std::vector<std::string> expected;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Widen(folder + "Dictionary\\*.KM").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::wstring name = found.cFileName;
        if (name[0] >= 0x0E00 && name[0] <= 0x0E7F)
            continue; // the Thai one
        expected.insert(expected.begin(), Narrow(name.substr(0, name.size() - 3)));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    ASSERT_EQ(expected.size(), 6u) << "the six files, and no folder";

    {
        DictSheetRun run(folder);
        run.sheet.steps.push_back([&](Scripted<COptionSheet>& s) {
            HWND list = run.page->GetDictList();
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(GetDlgCtrlID(list), 112233);
            // Each row names its dictionary and counts its one entry.
            std::vector<std::string> rows = ListItems(list);
            for (std::string& row : rows) {
                const size_t counts = row.find(" · 1 词");
                EXPECT_EQ(counts + std::string(" · 1 词").size(), row.size()) << row;
                row = row.substr(0, counts);
            }
            EXPECT_EQ(rows, expected);
            HWND edit = reinterpret_cast<HWND>(SendMessageW(list, CBEM_GETEDITCONTROL, 0, 0));
            EXPECT_FALSE(IsWindowEnabled(edit)) << "names are chosen, not typed";
            // The dictionary picture shows on the list's own background, not on a teal square.
            HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, CBEM_GETIMAGELIST, 0, 0));
            ASSERT_NE(images, nullptr);
            HDC screen = GetDC(nullptr);
            HDC canvas = CreateCompatibleDC(screen);
            HBITMAP surface = CreateCompatibleBitmap(screen, 16, 16);
            ReleaseDC(nullptr, screen);
            HGDIOBJ old = SelectObject(canvas, surface);
            const RECT all = {0, 0, 16, 16};
            HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
            FillRect(canvas, &all, magenta);
            DeleteObject(magenta);
            ImageList_Draw(images, kOptionImageDictionary, canvas, 0, 0, ILD_TRANSPARENT);
            EXPECT_EQ(GetPixel(canvas, 0, 0), RGB(255, 0, 255)) << "the bitmap's background is masked out";
            SelectObject(canvas, old);
            DeleteObject(surface);
            DeleteDC(canvas);
            wchar_t text[64] = {};
            GetWindowTextW(edit, text, 64);
            EXPECT_EQ(Narrow(text), "ABC · 1 词") << "stored abc preselects ABC";
            s.SendMessage(PSM_PRESSBUTTON, PSBTN_OK);
        });
        EXPECT_EQ(run.sheet.DoModal(), IDOK);
        CSettings settings(folder + "Lexorin.ini");
        EXPECT_EQ(settings.DictName(), "ABC") << "written as listed";
        EXPECT_EQ(run.dictChanged, TRUE);
    }
    {
        // Choosing the stored entry again writes nothing; the voice page starts silent
        // and stores the mode and rate chosen. Wine's speech engine cannot speak: the
        // page says so and disables the voice, the rate and the sample.
        DictSheetRun run(folder);
        run.sheet.steps.push_back([&](Scripted<COptionSheet>& s) {
            s.SetActivePage(1);
            COptionVoiceSoundPage& voice = *run.voicePage;
            EXPECT_EQ(SendMessageW(voice.GetDlgItem(IDC_VOICE_OFF), BM_GETCHECK, 0, 0), BST_CHECKED);
            EXPECT_EQ(SendMessageW(voice.GetDlgItem(IDC_VOICE_MANUAL), BM_GETCHECK, 0, 0), BST_UNCHECKED);
            EXPECT_EQ(SendMessageW(voice.GetDlgItem(IDC_VOICE_AUTO), BM_GETCHECK, 0, 0), BST_UNCHECKED);
            EXPECT_EQ(SendMessageW(voice.GetDlgItem(IDC_VOICE_RATE), TBM_GETPOS, 0, 0), 0);
            wchar_t status[128] = {};
            GetWindowTextW(voice.GetDlgItem(IDC_VOICE_STATUS), status, 128);
            EXPECT_EQ(Narrow(status), COptionVoiceSoundPage::kNoVoiceLine);
            EXPECT_FALSE(IsWindowEnabled(voice.GetDlgItem(IDC_VOICE_LISTEN)));
            EXPECT_FALSE(IsWindowEnabled(voice.GetDlgItem(IDC_VOICE_LIST)));
            EXPECT_TRUE(IsWindowEnabled(voice.GetDlgItem(IDC_VOICE_AUTO))) << "the mode is still the user's";
            SendMessageW(voice.GetDlgItem(IDC_VOICE_AUTO), BM_CLICK, 0, 0);
            SendMessageW(voice.GetDlgItem(IDC_VOICE_RATE), TBM_SETPOS, TRUE, -4);
            s.SendMessage(PSM_PRESSBUTTON, PSBTN_OK);
        });
        EXPECT_EQ(run.sheet.DoModal(), IDOK);
        EXPECT_EQ(run.dictChanged, FALSE);
        EXPECT_EQ(run.voiceChanged, TRUE);
        CSettings settings(folder + "Lexorin.ini");
        EXPECT_EQ(settings.DictName(), "ABC");
        EXPECT_EQ(settings.VoiceSpeakMode(), CSettings::kVoiceAuto);
        EXPECT_EQ(settings.VoiceRate(), -4);
        EXPECT_EQ(ReadText(folder + "Lexorin.ini").find("Token="), std::string::npos)
            << "the voice was left as it was";
    }
    {
        // Opened again, the page shows what was stored; OK without a change writes nothing.
        std::string before = ReadText(folder + "Lexorin.ini");
        DictSheetRun run(folder);
        run.sheet.steps.push_back([&](Scripted<COptionSheet>& s) {
            s.SetActivePage(1);
            COptionVoiceSoundPage& voice = *run.voicePage;
            EXPECT_EQ(SendMessageW(voice.GetDlgItem(IDC_VOICE_AUTO), BM_GETCHECK, 0, 0), BST_CHECKED);
            EXPECT_EQ(SendMessageW(voice.GetDlgItem(IDC_VOICE_OFF), BM_GETCHECK, 0, 0), BST_UNCHECKED);
            EXPECT_EQ(SendMessageW(voice.GetDlgItem(IDC_VOICE_RATE), TBM_GETPOS, 0, 0), -4);
            s.SendMessage(PSM_PRESSBUTTON, PSBTN_OK);
        });
        EXPECT_EQ(run.sheet.DoModal(), IDOK);
        EXPECT_EQ(run.voiceChanged, FALSE);
        EXPECT_EQ(ReadText(folder + "Lexorin.ini"), before);
    }
    wintest::RemoveFolder(folder);
}

namespace {
// Presses OK of the settings sheet once it shows (polled from a thread timer).
struct PressOk {
    static bool pressed;
    static BOOL CALLBACK Visit(HWND hWnd, LPARAM)
    {
        wchar_t title[16] = {};
        GetWindowTextW(hWnd, title, 16);
        if (!IsWindowVisible(hWnd) || Narrow(title) != "选项")
            return TRUE;
        PostMessageW(hWnd, PSM_PRESSBUTTON, PSBTN_OK, 0);
        pressed = true;
        return FALSE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        EnumThreadWindows(GetCurrentThreadId(), Visit, 0);
    }
};
bool PressOk::pressed = false;
} // namespace

TEST(OptionSheet, EachOpeningReportsOnlyWhatThatOpeningChanged)
{
    // An earlier opening raised every flag (say a background was chosen with the
    // browse button and the sheet cancelled). This opening changes nothing: its OK
    // must not make the bar apply any group again, not even those of pages it never
    // showed.
    const std::string folder = wintest::MakeTempFolder("sheetflags");
    BOOL bannerChanged = TRUE, dictChanged = TRUE, interfaceChanged = TRUE;
    COptionContext context;
    context.programFolder = folder;
    context.settingsPath = folder + "Lexorin.ini";
    context.backgroundFile = "2";
    context.bannerChanged = &bannerChanged;
    context.dictChanged = &dictChanged;
    context.interfaceChanged = &interfaceChanged;

    PressOk::pressed = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, PressOk::Tick);
    const INT_PTR result = RunOptionSheet(context);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(PressOk::pressed);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(bannerChanged, FALSE) << "the banner page was shown and changed nothing";
    EXPECT_EQ(dictChanged, FALSE) << "the dictionary page was never shown";
    EXPECT_EQ(interfaceChanged, FALSE) << "the interface page was never shown";
    wintest::RemoveFolder(folder);
}

TEST(PageFrame, CaptionStripKeepsItsIconAndPaintsOnlyItsOwnRectangle)
{
    // A solid red 16 x 16 icon that its owner destroys right after handing it over,
    // as the sheet does.
    BITMAPINFO bi = TopDownDibInfo(16, 16);
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(colour, nullptr);
    for (int i = 0; i < 16 * 16; ++i)
        static_cast<DWORD*>(bits)[i] = 0x00FF0000;
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    HDC maskDC = CreateCompatibleDC(nullptr);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    PatBlt(maskDC, 0, 0, 16, 16, BLACKNESS); // opaque everywhere
    SelectObject(maskDC, oldMask);
    DeleteDC(maskDC);
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    ASSERT_NE(icon, nullptr);

    class ProbeFrame : public CPageFrameWnd {
    public:
        bool iconAlive = false;
        void PaintCaption(HDC dc, const RECT& rect, const std::string& text, HICON icon) override
        {
            ICONINFO probe = {};
            iconAlive = icon && GetIconInfo(icon, &probe);
            if (probe.hbmMask)
                DeleteObject(probe.hbmMask);
            if (probe.hbmColor)
                DeleteObject(probe.hbmColor);
            CPageFrameWnd::PaintCaption(dc, rect, text, icon);
        }
    } frame;
    const RECT frameRect = {0, 0, 50, 40};
    ASSERT_TRUE(frame.CreateFrameWindow(WS_POPUP, frameRect, nullptr, 0));
    frame.EnableCaption(TRUE);
    frame.SetCaptionHeight(20);
    frame.SetCaptionText("页", icon);
    DestroyIcon(icon);

    // Painted into a canvas one column wider than the frame: green under the frame,
    // the column beyond it blue.
    const COLORREF marker = RGB(0, 0, 255);
    HDC screen = GetDC(nullptr);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP surface = CreateCompatibleBitmap(screen, 51, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldSurface = SelectObject(canvas, surface);
    HBRUSH blue = CreateSolidBrush(marker);
    const RECT all = {0, 0, 51, 40};
    FillRect(canvas, &all, blue);
    DeleteObject(blue);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(canvas, &frameRect, green);
    DeleteObject(green);
    frame.Paint(canvas);

    EXPECT_TRUE(frame.iconAlive) << "the strip paints with an icon it keeps, not the destroyed one";
    EXPECT_EQ(GetPixel(canvas, 3 + 8, 10), RGB(255, 0, 0)) << "the icon shows at the strip's left";
    for (int y : {0, 10, 19})
        EXPECT_EQ(GetPixel(canvas, 50, y), marker) << "the gradient stops at the strip's right edge, row " << y;
    EXPECT_NE(GetPixel(canvas, 49, 10), marker) << "and fills up to it";
    SelectObject(canvas, oldSurface);
    DeleteObject(surface);
    DeleteDC(canvas);
    frame.DestroyWindow();
}

namespace {

RECT Doubled(const RECT& r)
{
    return RECT{2 * r.left, 2 * r.top, 2 * r.right, 2 * r.bottom};
}

// Each edge within a pixel or two (sizes and places are scaled one by one).
void ExpectNear(const RECT& actual, const RECT& expected, const char* what)
{
    EXPECT_NEAR(actual.left, expected.left, 2) << what;
    EXPECT_NEAR(actual.top, expected.top, 2) << what;
    EXPECT_NEAR(actual.right, expected.right, 2) << what;
    EXPECT_NEAR(actual.bottom, expected.bottom, 2) << what;
}

int TreeImageSize(HWND tree)
{
    int cx = 0, cy = 0;
    ImageList_GetIconSize(TreeView_GetImageList(tree, TVSIL_NORMAL), &cx, &cy);
    return cx;
}

int FontHeight(HWND hWnd)
{
    LOGFONTW lf = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hWnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return std::abs(lf.lfHeight);
}

} // namespace

TEST(OptionSheet, FollowsAMoveToAMonitorOfTwiceTheDpiAndBack)
{
    // Wine has one DPI for all monitors, so the move is told to the sheet the way
    // Windows tells it: WM_DPICHANGED with the new DPI and the rectangle to take.
    const std::string folder = wintest::MakeTempFolder("sheetdpi");
    CreateDirectoryW(Widen(folder + "Dictionary").c_str(), nullptr);
    WriteText(folder + "Dictionary\\a.KM", "word/phon/meaning\r\n");
    DictSheetRun run(folder);
    RECT sheet0, tree0, frame0, page0, list0;
    int caption0 = 0, font0 = 0;
    const int dpi0 = wintest::TestDpi();
    auto measure = [&](Scripted<COptionSheet>& s, RECT* sheet, RECT* tree, RECT* frame, RECT* page, RECT* list,
                       int* caption, int* font) {
        s.GetWindowRect(sheet);
        HWND treeWnd = s.GetPageTreeWindow();
        *tree = WindowRectIn(s.m_hWnd, treeWnd);
        *frame = WindowRectIn(s.m_hWnd, s.GetPageFrame()->GetFrameWindow()->m_hWnd);
        *page = WindowRectIn(s.m_hWnd, run.page->m_hWnd);
        // In the page's own coordinates; its height is the closed box's, which its font
        // and pictures decide.
        *list = WindowRectIn(run.page->m_hWnd, run.page->GetDictList());
        list->bottom = list->top;
        RECT strip = s.GetPageFrame()->GetCaptionRect();
        *caption = strip.bottom - strip.top;
        *font = FontHeight(treeWnd);
    };
    run.sheet.steps.push_back([&](Scripted<COptionSheet>& s) {
        measure(s, &sheet0, &tree0, &frame0, &page0, &list0, &caption0, &font0);
        EXPECT_EQ(TreeImageSize(s.GetPageTreeWindow()), 16);
        RECT suggested = {sheet0.left, sheet0.top, sheet0.left + 2 * (sheet0.right - sheet0.left),
                          sheet0.top + 2 * (sheet0.bottom - sheet0.top)};
        s.SendMessage(WM_DPICHANGED, MAKEWPARAM(2 * dpi0, 2 * dpi0), reinterpret_cast<LPARAM>(&suggested));

        RECT sheet, tree, frame, page, list;
        int caption = 0, font = 0;
        measure(s, &sheet, &tree, &frame, &page, &list, &caption, &font);
        EXPECT_EQ(s.Dpi().Dpi(), 2 * dpi0);
        EXPECT_EQ(run.page->Dpi().Dpi(), 2 * dpi0) << "the page hears of it too";
        EXPECT_TRUE(EqualRect(&sheet, &suggested)) << "the sheet takes the rectangle it was given";
        ExpectNear(tree, Doubled(tree0), "tree");
        ExpectNear(frame, Doubled(frame0), "frame");
        // The system places the page in the hidden tabs' display area, whose margins it
        // does not scale: within a few pixels of twice its place.
        EXPECT_NEAR(page.left, 2 * page0.left, 6);
        EXPECT_NEAR(page.top, 2 * page0.top, 10);
        EXPECT_NEAR(page.right - page.left, 2 * (page0.right - page0.left), 10);
        EXPECT_NEAR(page.bottom - page.top, 2 * (page0.bottom - page0.top), 16);
        ExpectNear(list, Doubled(list0), "the dictionary list, made in code on the page");
        EXPECT_NEAR(caption, 2 * caption0, 1);
        EXPECT_NEAR(font, 2 * font0, 1) << "the tree's text";
        EXPECT_EQ(TreeImageSize(s.GetPageTreeWindow()), 32) << "pictures drawn for 32 pixels";
        EXPECT_EQ(TreeView_GetCount(s.GetPageTreeWindow()), 4u);
        EXPECT_EQ(SelectedText(s.GetPageTreeWindow()), "字典");
        EXPECT_EQ(s.GetPageFrame()->GetCaptionText(), "字典");

        s.SendMessage(WM_DPICHANGED, MAKEWPARAM(dpi0, dpi0), reinterpret_cast<LPARAM>(&sheet0));
        measure(s, &sheet, &tree, &frame, &page, &list, &caption, &font);
        EXPECT_TRUE(EqualRect(&sheet, &sheet0));
        ExpectNear(tree, tree0, "tree back");
        ExpectNear(list, list0, "list back");
        EXPECT_EQ(caption, caption0);
        EXPECT_EQ(font, font0);
        EXPECT_EQ(TreeImageSize(s.GetPageTreeWindow()), 16);
    });
    EXPECT_EQ(run.sheet.DoModal(), IDCANCEL);
    wintest::RemoveFolder(folder);
}
