// CAboutDlg: the about box. A large dithered headline with the product name, the
// logo, the version, a mail link and a link to the help page in the program folder,
// and a strip of drifting sky through which the credits rise. It opens centred and
// on top of everything, drags by its body, and closes with OK or a click on the sky.
#pragma once

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "widgets/clouds_ctrl.h"
#include "widgets/link_static.h"

#include <string>

struct AboutBoxInfo {
    std::string productName;   // "Quillmere"
    std::string version;       // "4.1"
    std::string programFolder; // with its trailing backslash
    std::string messageCaption; // of the box a link shows when its target will not open
};

class CAboutDlg : public lex::CDialog {
public:
    // The help page the home-page link opens, relative to the program folder.
    static constexpr const char* kHelpPage = "docs\\index.html";
    static constexpr const char* kMailAddress = "lexorin@example.org";

    explicit CAboutDlg(const AboutBoxInfo& info, lex::CWnd* owner = nullptr);
    ~CAboutDlg() override;

    // The sky's place for a client area of cx x cy pixels: the lower left of the box,
    // below the text and beside the OK button.
    RECT SkyRect(int cx, int cy) const;

    // For tests: the parts a user sees.
    CCloudsCtrl& Clouds() { return m_clouds; }
    CLinkStatic& MailLink() { return m_mailLink; }
    CLinkStatic& HomePageLink() { return m_homePageLink; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(lex::CDataExchange* dx) override;
    void OnDpiChanged(int oldDpi) override;

private:
    void OnPaint();
    // The logo drawn for the box's DPI.
    void LoadLogo();
    // The product name's font, at the box's DPI.
    void MakeHeadlineFont();
    void SetUpLink(CLinkStatic& link, const std::string& target);

    AboutBoxInfo m_info;
    lex::CStatic m_logo;
    CCloudsCtrl m_clouds;
    CLinkStatic m_mailLink;
    CLinkStatic m_homePageLink;
    lex::CStatic m_version;
    lex::CFont m_headlineFont;
    HICON m_logoIcon = nullptr;
};
