// CTipDlg: the tip of the day. Each showing continues in "Tips.tip" where the last one
// stopped, even across runs; "下一条" steps on, and the check box decides whether the
// program greets the user with a tip at start-up (section "Tip" of the settings file).
#pragma once

#include "dialogs/tips_file.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "settings/settings.h"

#include <string>

class CTipDlg : public lex::CDialog {
public:
    // Loads the settings and the first tip; the dialog is not shown yet. parent owns
    // the dialog while it shows (the main bar). tipsPath defaults to "Tips.tip" beside
    // the executable; messageCaption is the caption of the box that reports a damaged
    // tips file.
    CTipDlg(lex::CWnd* parent, const std::string& settingsPath, const std::string& tipsPath = TipsPathBesideExe(),
            const std::string& messageCaption = std::string());
    // Saves where the next showing starts and closes the file.
    ~CTipDlg() override;

    // Shows the dialog modally; without a tips file only beeps and returns IDOK.
    INT_PTR DoModal() override;

    BOOL StartUpFlag() const { return m_startUp != 0; }
    const std::string& TipText() const { return m_strTip; }
    BOOL HasTipsFile() const { return m_tips.IsOpen(); }

    // The executable's drive and folder followed by "Tips.tip".
    static std::string TipsPathBesideExe();

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(lex::CDataExchange* dx) override;

private:
    void ReadNextTip();
    void OnNextButton();
    void OnPaint();
    // Paints the panel with the picture, the heading and the tip; a partial paint
    // draws only the heading and the tip rectangle.
    void PaintTipArea(HDC dc, BOOL partial);
    RECT ChildRect(int id) const;
    void ReportDamagedFile();

    lex::CButton m_btnOK;
    lex::CButton m_btnNext;
    int m_startUp = 0;
    std::string m_strTip;
    lex::CSettings m_settings;
    std::string m_messageCaption;
    lex::CTipsFile m_tips;
};
