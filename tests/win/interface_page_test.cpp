// The interface settings page in a running sheet: what it shows with no settings file,
// the picture/gradient switch and OK writing only what changed, and a picture chosen
// with the browse button staying chosen when the sheet is then cancelled.
#include "base/fileio.h"
#include "base/text.h"
#include "framework/propsheet.h"
#include "resources/resource.h"
#include "options/option_interface_page.h"
#include "settings/settings.h"
#include "support/win_test_util.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Step = std::function<void()>;

// Runs the steps one per timer tick while the sheet (or a dialog it opened) is up.
struct Script {
    static Script* current;
    std::vector<Step> steps;
    size_t next = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Script* s = current;
        if (s && s->next < s->steps.size()) {
            Step step = s->steps[s->next++];
            step();
        }
    }
};
Script* Script::current = nullptr;

INT_PTR RunSheet(lex::CPropertySheet& sheet, std::vector<Step> steps)
{
    Script script{std::move(steps)};
    Script::current = &script;
    UINT_PTR timer = SetTimer(nullptr, 0, 200, Script::Tick);
    // Whatever happens, the sheet does not stay open.
    script.steps.push_back([&] { PostMessageW(sheet.m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); });
    INT_PTR result = sheet.DoModal();
    KillTimer(nullptr, timer);
    Script::current = nullptr;
    return result;
}

std::string ItemText(HWND dialog, int id)
{
    wchar_t text[512] = L"";
    GetDlgItemTextW(dialog, id, text, 512);
    return lex::Narrow(text);
}

COLORREF SelectedColour(HWND dialog, int id)
{
    HWND box = GetDlgItem(dialog, id);
    LRESULT sel = SendMessageW(box, CB_GETCURSEL, 0, 0);
    return sel < 0 ? CLR_INVALID : static_cast<COLORREF>(SendMessageW(box, CB_GETITEMDATA, sel, 0));
}

BOOL CALLBACK FindBitmapDialog(HWND hWnd, LPARAM lParam)
{
    if (IsWindowVisible(hWnd) && FindWindowExW(hWnd, nullptr, nullptr, nullptr)) {
        HWND panel = nullptr;
        for (HWND c = GetWindow(hWnd, GW_CHILD); c && !panel; c = GetWindow(c, GW_HWNDNEXT))
            if (GetDlgItem(c, IDC_BMP_SHOW_PREVIEW))
                panel = c;
        if (panel) {
            *reinterpret_cast<HWND*>(lParam) = hWnd;
            return FALSE;
        }
    }
    return TRUE;
}

class InterfacePageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = wintest::MakeTempFolder("interfacepage");
        context.programFolder = folder;
        context.settingsPath = folder + "Lexorin.ini";
        context.backgroundFile = "2"; // the bar's name when nothing was ever chosen
        context.bannerChanged = &bannerChanged;
        context.dictChanged = &dictChanged;
        context.interfaceChanged = &interfaceChanged;
    }
    void TearDown() override { wintest::RemoveFolder(folder); }
    std::string SettingsText()
    {
        std::string text;
        lex::ReadWholeFile(context.settingsPath, text);
        return text;
    }

    std::string folder;
    COptionContext context;
    BOOL bannerChanged = FALSE, dictChanged = FALSE, interfaceChanged = FALSE;
};

} // namespace

TEST_F(InterfacePageTest, WithoutSettingsThePictureIsOnAndUntickingThenOkWritesOnlyThatKey)
{
    COptionInterfaceMiscPage page(context);
    lex::CPropertySheet sheet("选项");
    sheet.AddPage(&page);
    bool ticked = false, pathOn = false, browseOn = false, coloursOff = false, unticked = false;
    bool coloursOnAfter = false, pathOffAfter = false;
    std::string path;
    COLORREF start = 0, end = 0;
    INT_PTR result = RunSheet(sheet, {
        [&] {
            HWND p = page.m_hWnd;
            ticked = IsDlgButtonChecked(p, IDC_BK_IMAGE) == BST_CHECKED;
            path = ItemText(p, IDC_BK_FILE);
            pathOn = IsWindowEnabled(GetDlgItem(p, IDC_BK_FILE));
            browseOn = IsWindowEnabled(GetDlgItem(p, IDC_BK_BROWSE));
            coloursOff = !IsWindowEnabled(GetDlgItem(p, IDC_BK_START_COLOR)) &&
                         !IsWindowEnabled(GetDlgItem(p, IDC_BK_END_COLOR));
            start = SelectedColour(p, IDC_BK_START_COLOR);
            end = SelectedColour(p, IDC_BK_END_COLOR);
            SendDlgItemMessageW(p, IDC_BK_IMAGE, BM_CLICK, 0, 0);
        },
        [&] {
            HWND p = page.m_hWnd;
            unticked = IsDlgButtonChecked(p, IDC_BK_IMAGE) == BST_UNCHECKED;
            coloursOnAfter = IsWindowEnabled(GetDlgItem(p, IDC_BK_START_COLOR)) &&
                             IsWindowEnabled(GetDlgItem(p, IDC_BK_END_COLOR));
            pathOffAfter = !IsWindowEnabled(GetDlgItem(p, IDC_BK_FILE)) &&
                           !IsWindowEnabled(GetDlgItem(p, IDC_BK_BROWSE));
            PostMessageW(sheet.m_hWnd, PSM_PRESSBUTTON, PSBTN_OK, 0);
        },
    });
    EXPECT_TRUE(ticked);
    EXPECT_EQ(path, "2");
    EXPECT_TRUE(pathOn);
    EXPECT_TRUE(browseOn);
    EXPECT_TRUE(coloursOff);
    EXPECT_EQ(start, RGB(255, 0, 0)) << "the default colours are red";
    EXPECT_EQ(end, RGB(255, 0, 0));
    EXPECT_TRUE(unticked);
    EXPECT_TRUE(coloursOnAfter);
    EXPECT_TRUE(pathOffAfter);
    ASSERT_EQ(result, IDOK);
    const std::string text = SettingsText();
    EXPECT_NE(text.find("InterfaceBKImage=0"), std::string::npos) << text;
    EXPECT_EQ(text.find("InterfaceBKStartColor"), std::string::npos) << "unchanged keys are not written";
    EXPECT_EQ(text.find("InterfaceBKImageFileName"), std::string::npos);
    EXPECT_TRUE(interfaceChanged);
}

TEST_F(InterfacePageTest, APictureChosenWithBrowseStaysChosenWhenTheSheetIsCancelled)
{
    // A 40 x 10 picture at 24 bits.
    std::string bmp(54 + 120 * 10, '\x7f');
    const unsigned char header[54] = {'B', 'M', 0xE6, 4, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 40, 0, 0, 0,
                                      10, 0, 0, 0, 1, 0, 24, 0};
    bmp.replace(0, 54, reinterpret_cast<const char*>(header), 54);
    const std::string picture = folder + "picked.bmp";
    ASSERT_TRUE(lex::ReplaceFileContents(picture, bmp));

    COptionInterfaceMiscPage page(context);
    lex::CPropertySheet sheet("选项");
    sheet.AddPage(&page);
    bool dialogFound = false, listed = false;
    std::string shownPath, storedBeforeCancel;
    HBITMAP preview = nullptr;
    BOOL flagBeforeCancel = FALSE;
    INT_PTR result = RunSheet(sheet, {
        [&] { PostMessageW(GetDlgItem(page.m_hWnd, IDC_BK_BROWSE), BM_CLICK, 0, 0); },
        [&] {
            // Inside the open-file dialog's own loop: type the path and open it.
            HWND dialog = nullptr;
            EnumThreadWindows(GetCurrentThreadId(), FindBitmapDialog, reinterpret_cast<LPARAM>(&dialog));
            dialogFound = dialog != nullptr;
            if (!dialog)
                return;
            for (int id : {1148, 1152}) // the file name box: cmb13 or edt1
                if (HWND name = GetDlgItem(dialog, id))
                    SetWindowTextW(name, lex::Widen(picture).c_str());
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        },
        [&] {
            HWND p = page.m_hWnd;
            shownPath = ItemText(p, IDC_BK_FILE);
            listed = SendDlgItemMessageW(p, IDC_BK_FILE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(lex::Widen(picture).c_str())) >= 0;
            preview = reinterpret_cast<HBITMAP>(SendDlgItemMessageW(p, IDC_BK_PREVIEW, STM_GETIMAGE, IMAGE_BITMAP, 0));
            storedBeforeCancel = lex::CSettings(context.settingsPath).InterfaceBKImageFileName();
            flagBeforeCancel = interfaceChanged;
            PostMessageW(sheet.m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        },
    });
    ASSERT_TRUE(dialogFound) << "\"...\" opens the bitmap dialog";
    EXPECT_EQ(shownPath, picture);
    EXPECT_TRUE(listed) << "the path is added to the list";
    EXPECT_NE(preview, nullptr) << "the page previews the picture";
    EXPECT_EQ(storedBeforeCancel, picture) << "written at once";
    EXPECT_TRUE(flagBeforeCancel);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(lex::CSettings(context.settingsPath).InterfaceBKImageFileName(), picture) << "Cancel keeps it";
    EXPECT_TRUE(interfaceChanged);
    const std::string text = SettingsText();
    EXPECT_EQ(text.find("InterfaceBKImage="), std::string::npos) << "Cancel writes nothing else";
}
