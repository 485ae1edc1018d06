// COptionBaseBannerPage, "基本设置::滚动条": the banner's background colour, text size
// matching, scrolling, power-saving scrolling ("省电滚动") and seconds per entry, and italic, bold, underline and colour for
// the word, phonetic and meaning rows. Reads the seventeen "Banner" keys when it starts;
// OK writes the changed ones as one replacement of the settings file and raises the
// banner-changed flag. Nothing on the page acts before OK.
#pragma once

#include "framework/propsheet.h"
#include "options/banner_page_values.h"
#include "options/option_sheet.h"
#include "widgets/color_button.h"
#include "widgets/color_combo.h"

class COptionBaseBannerPage : public lex::CPropertyPage {
public:
    explicit COptionBaseBannerPage(const COptionContext& context);

    lex::CColorButton& ColorButton() { return m_colorButton; }

protected:
    void DoDataExchange(lex::CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    COptionContext m_context;
    lex::CColorButton m_colorButton;
    lex::CColorComboBox m_bkColorBox;
    lex::CColorComboBox m_wordColorBox;
    lex::CColorComboBox m_phoneticColorBox;
    lex::CColorComboBox m_descColorBox;
    lex::CWnd m_speedSlider;
    // The check boxes: auto size, scroll, power saving, then italic, bold, underline of the word,
    // phonetic and meaning rows.
    int m_autoSize = 0;
    int m_scroll = 0;
    int m_powerSaving = 0;
    int m_styles[lex::kBannerStyleCount] = {};
    lex::BannerPageValues m_start;
};
