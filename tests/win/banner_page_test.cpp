// The banner page in the program's settings sheet: what it shows from the settings
// file, what OK writes back (only the changed keys), and that its colour button
// changes nothing in the file.
#include "base/fileio.h"
#include "resources/resource.h"
#include "options/option_banner_page.h"
#include "options/option_sheet.h"
#include "settings/settings.h"
#include "widgets/color_popup.h"
#include "support/win_test_util.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace lex;

namespace {

// The settings sheet running a list of steps inside its modal loop, one per posted
// message; Cancel after the last step unless a step ended the sheet.
class ScriptedSheet : public COptionSheet {
public:
    using Step = std::function<void(ScriptedSheet&)>;
    std::vector<Step> steps;

    BOOL OnInitDialog() override
    {
        BOOL result = COptionSheet::OnInitDialog();
        PostMessage(WM_APP);
        SetTimer(1, 30000); // a hung script must not hang the test run
        return result;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_APP) {
            if (m_next < steps.size()) {
                steps[m_next++](*this);
                PostMessage(WM_APP);
            } else {
                SendMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
            }
            return 0;
        }
        if (msg == WM_TIMER && wParam == 1) {
            ADD_FAILURE() << "script timed out";
            SendMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
            return 0;
        }
        return COptionSheet::WindowProc(msg, wParam, lParam);
    }

private:
    size_t m_next = 0;
};

struct BannerSheetRun {
    std::string folder;
    COptionContext context;
    BOOL bannerChanged = FALSE; // as the opening of the sheet leaves it
    std::unique_ptr<COptionBaseBannerPage> page;
    ScriptedSheet sheet;
    explicit BannerSheetRun(const std::string& programFolder) : folder(programFolder)
    {
        context.programFolder = folder;
        context.settingsPath = folder + "Lexorin.ini";
        context.bannerChanged = &bannerChanged;
        page = std::make_unique<COptionBaseBannerPage>(context);
        sheet.AddPage(page.get());
    }
    HWND Item(int id) const { return page->GetDlgItem(id); }
    CColorComboBox* Box(int id) const { return dynamic_cast<CColorComboBox*>(CWnd::FromHandle(Item(id))); }
    std::string BoxText(int id) const
    {
        CColorComboBox* box = Box(id);
        return box ? box->GetLBText(box->GetCurSel()) : std::string("(no box)");
    }
};

const int kChecks[] = {IDC_BANNER_AUTOSIZE,   IDC_BANNER_SCROLL,     IDC_BANNER_WORD_I,    IDC_BANNER_WORD_B,
                       IDC_BANNER_WORD_U,     IDC_BANNER_PHONETIC_I, IDC_BANNER_PHONETIC_B, IDC_BANNER_PHONETIC_U,
                       IDC_BANNER_DESC_I,     IDC_BANNER_DESC_B,     IDC_BANNER_DESC_U};
const int kColorBoxes[] = {IDC_BANNER_BKCOLOR, IDC_BANNER_WORDCOLOR, IDC_BANNER_PHONETICCOLOR, IDC_BANNER_DESCCOLOR};

std::string FileText(const std::string& path)
{
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

} // namespace

TEST(BannerPage, NoSettingsFileShowsTheDefaultsAndOkWritesNothingEvenAfterAPick)
{
    const std::string folder = wintest::MakeTempFolder("bannerpage");
    BannerSheetRun run(folder);
    run.sheet.steps.push_back([&](ScriptedSheet& s) {
        for (int id : kColorBoxes)
            EXPECT_EQ(run.BoxText(id), "红色") << id;
        for (int id : kChecks)
            EXPECT_EQ(SendMessageW(run.Item(id), BM_GETCHECK, 0, 0), BST_CHECKED) << id;
        EXPECT_EQ(SendMessageW(run.Item(IDC_BANNER_SPEED), TBM_GETPOS, 0, 0), 2);
        EXPECT_EQ(SendMessageW(run.Item(IDC_BANNER_POWERSAVE), BM_GETCHECK, 0, 0), BST_UNCHECKED)
            << "power saving only on battery unless asked";

        // The colour button as the page sets it up, and a pick with it.
        CColorButton& button = run.page->ColorButton();
        EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
        EXPECT_EQ(button.GetColor(), GetSysColor(COLOR_BACKGROUND));
        EXPECT_EQ(button.GetAutoColor(), GetSysColor(COLOR_APPWORKSPACE));
        run.page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BANNER_COLORBTN, BN_CLICKED), (LPARAM)button.m_hWnd);
        auto* popup = dynamic_cast<CColorPalettePopup*>(
            CWnd::FromHandle(FindWindowW(CColorPalettePopup::kClassName, nullptr)));
        ASSERT_NE(popup, nullptr);
        EXPECT_TRUE(popup->GetLayout().hasAuto && popup->GetLayout().hasMore);
        popup->SendMessage(WM_KEYDOWN, VK_UP, 1); // nothing hot: the automatic box
        EXPECT_EQ(button.GetColor(), CLR_AUTOMATIC);
        popup->SendMessage(WM_KEYDOWN, VK_DOWN, 1); // cell 0
        popup->SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
        EXPECT_EQ(button.GetColor(), kPaletteColors[1].color) << "live tracking";
        popup->SendMessage(WM_KEYDOWN, VK_RETURN, 1);
        EXPECT_EQ(button.GetColor(), kPaletteColors[1].color);
        s.SendMessage(PSM_PRESSBUTTON, PSBTN_OK);
    });
    EXPECT_EQ(run.sheet.DoModal(), IDOK);
    EXPECT_FALSE(FileExists(run.context.settingsPath)) << "nothing was written";
    EXPECT_EQ(run.bannerChanged, FALSE);
    wintest::RemoveFolder(folder);
}

TEST(BannerPage, OkWritesOnlyWhatChangedFromTheStoredValues)
{
    const std::string folder = wintest::MakeTempFolder("bannerpage");
    const std::string ini = folder + "Lexorin.ini";
    // A speed the slider cannot show, a word colour the boxes do not offer, bold off.
    ASSERT_TRUE(ReplaceFileContents(ini, "[Banner]\r\nBannerScrollSpeed=9\r\nBannerWordColor=123456\r\n"
                                         "BannerPhoneticB=0\r\nBannerBKColor=800000\r\n"));
    {
        BannerSheetRun run(folder);
        std::string firstName;
        uint32_t firstColor = 0;
        run.sheet.steps.push_back([&](ScriptedSheet& s) {
            EXPECT_EQ(SendMessageW(run.Item(IDC_BANNER_SPEED), TBM_GETPOS, 0, 0), 5);
            EXPECT_EQ(run.BoxText(IDC_BANNER_BKCOLOR), "海蓝色");
            EXPECT_EQ(SendMessageW(run.Item(IDC_BANNER_PHONETIC_B), BM_GETCHECK, 0, 0), BST_UNCHECKED);
            CColorComboBox* word = run.Box(IDC_BANNER_WORDCOLOR);
            ASSERT_NE(word, nullptr);
            EXPECT_EQ(word->GetCurSel(), 0) << "an unknown colour leaves the first entry";
            firstName = word->GetLBText(0);
            firstColor = word->GetSelectedColor();
            run.Box(IDC_BANNER_DESCCOLOR)->SelectColor(0xFF0000);
            SendMessageW(run.Item(IDC_BANNER_POWERSAVE), BM_SETCHECK, BST_CHECKED, 0);
            s.SendMessage(PSM_PRESSBUTTON, PSBTN_OK);
        });
        EXPECT_EQ(run.sheet.DoModal(), IDOK);
        EXPECT_EQ(run.bannerChanged, TRUE);
        char firstHex[16];
        snprintf(firstHex, sizeof firstHex, "%x", static_cast<unsigned>(firstColor));
        EXPECT_EQ(FileText(ini), "[Banner]\r\nBannerScrollSpeed=5\r\nBannerWordColor=" + std::string(firstHex) +
                                     "\r\nBannerPhoneticB=0\r\nBannerBKColor=800000\r\nBannerDescColor=ff0000\r\n"
                                     "BannerPowerSaving=1\r\n")
            << "the clamped speed, the first entry's colour (" << firstName << "), blue meanings, power saving";
    }
    wintest::RemoveFolder(folder);
}
