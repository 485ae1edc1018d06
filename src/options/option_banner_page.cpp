#include "options/option_banner_page.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <commctrl.h>

namespace {

const int kStyleChecks[lex::kBannerStyleCount] = {
    IDC_BANNER_WORD_I,     IDC_BANNER_WORD_B,     IDC_BANNER_WORD_U,
    IDC_BANNER_PHONETIC_I, IDC_BANNER_PHONETIC_B, IDC_BANNER_PHONETIC_U,
    IDC_BANNER_DESC_I,     IDC_BANNER_DESC_B,     IDC_BANNER_DESC_U,
};

} // namespace

COptionBaseBannerPage::COptionBaseBannerPage(const COptionContext& context)
    : lex::CPropertyPage(IDD_OPTION_BANNER), m_context(context)
{
}

void COptionBaseBannerPage::DoDataExchange(lex::CDataExchange* dx)
{
    lex::CPropertyPage::DoDataExchange(dx);
    lex::DDX_Control(dx, IDC_BANNER_COLORBTN, m_colorButton);
    lex::DDX_Control(dx, IDC_BANNER_SPEED, m_speedSlider);
    lex::DDX_Control(dx, IDC_BANNER_PHONETICCOLOR, m_phoneticColorBox);
    lex::DDX_Control(dx, IDC_BANNER_DESCCOLOR, m_descColorBox);
    lex::DDX_Control(dx, IDC_BANNER_WORDCOLOR, m_wordColorBox);
    lex::DDX_Control(dx, IDC_BANNER_BKCOLOR, m_bkColorBox);
    lex::DDX_Check(dx, IDC_BANNER_AUTOSIZE, m_autoSize);
    lex::DDX_Check(dx, IDC_BANNER_SCROLL, m_scroll);
    lex::DDX_Check(dx, IDC_BANNER_POWERSAVE, m_powerSaving);
    for (int i = 0; i < lex::kBannerStyleCount; ++i)
        lex::DDX_Check(dx, kStyleChecks[i], m_styles[i]);
}

BOOL COptionBaseBannerPage::OnInitDialog()
{
    // Binds the controls; each colour box lists its colours and selects the first.
    lex::CPropertyPage::OnInitDialog();

    // The colour button beside the background colour offers the palette; its colour
    // is not stored.
    m_colorButton.SetColor(GetSysColor(COLOR_BACKGROUND));
    m_colorButton.SetAutoColor(GetSysColor(COLOR_APPWORKSPACE));
    m_colorButton.SetLiveTracking(true);
    m_colorButton.SetMoreText("其他颜色...");
    m_colorButton.SetAutoText("自动");

    const lex::CSettings settings(m_context.settingsPath);
    m_start = lex::ReadBannerPageValues(settings);
    m_bkColorBox.SelectColor(m_start.bkColor);
    m_autoSize = m_start.autoSize;
    m_scroll = m_start.scroll;
    m_powerSaving = m_start.powerSaving;
    m_speedSlider.SendMessage(TBM_SETRANGE, FALSE, MAKELPARAM(1, 5));
    m_speedSlider.SendMessage(TBM_SETPOS, TRUE, m_start.speed); // the slider clamps to 1 .. 5
    for (int i = 0; i < lex::kBannerStyleCount; ++i)
        m_styles[i] = m_start.styles[i];
    m_wordColorBox.SelectColor(m_start.wordColor);
    m_phoneticColorBox.SelectColor(m_start.phoneticColor);
    m_descColorBox.SelectColor(m_start.descColor);

    UpdateData(FALSE);
    return TRUE;
}

void COptionBaseBannerPage::OnOK()
{
    UpdateData(TRUE);
    lex::BannerPageValues now;
    now.autoSize = m_autoSize;
    now.scroll = m_scroll;
    now.powerSaving = m_powerSaving;
    now.bkColor = m_bkColorBox.GetSelectedColor();
    now.speed = static_cast<int>(m_speedSlider.SendMessage(TBM_GETPOS));
    for (int i = 0; i < lex::kBannerStyleCount; ++i)
        now.styles[i] = m_styles[i];
    now.wordColor = m_wordColorBox.GetSelectedColor();
    now.phoneticColor = m_phoneticColorBox.GetSelectedColor();
    now.descColor = m_descColorBox.GetSelectedColor();

    // All changed keys go to the file in one replacement.
    lex::CSettings settings(m_context.settingsPath);
    lex::CSettingsGroup group(settings);
    if (lex::WriteChangedBannerKeys(settings, m_start, now) > 0)
        RaiseOptionFlag(m_context.bannerChanged);
    group.Commit();
    lex::CPropertyPage::OnOK();
}
