// CLexorinDlg: the main bar, the program's main window, run as a modal dialog. A
// captionless, always-on-top bar that drags by its body, stretches sideways only and
// keeps itself on screen. It handles the bar's messages and wires the parts that own
// their state: the toolbar with the banner in its slot, the word feed and what it
// drives, the background, the tray icon, the hotkeys, the speech and whether anybody
// can see the bar. It saves its state when it is destroyed.
#pragma once

#include "dictionary/entry.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "mainbar/bar_attention.h"
#include "mainbar/bar_background.h"
#include "mainbar/bar_context.h"
#include "mainbar/bar_hotkeys.h"
#include "mainbar/bar_import.h"
#include "mainbar/bar_speech.h"
#include "mainbar/bar_power.h"
#include "mainbar/feed_host.h"
#include "mainbar/main_toolbar.h"
#include "mainbar/tray_icon.h"
#include "mainbar/word_feed.h"

#include <string>

class CLexorinDlg : public lex::CDialog, private IBannerPointerListener {
public:
    static constexpr int kStartWidth = 640;
    static constexpr int kStartHeight = 27;
    static constexpr int kMinTrackWidth = 640;
    static constexpr int kMinTrackHeight = 30;
    static constexpr int kBannerSlotWidth = 435;
    // The sizes above are those at 96 DPI; the bar scales them to the DPI of its monitor.

    // The context is the owner's and outlives the bar.
    explicit CLexorinDlg(CBarContext& context);

    // The running copy's main bar (any process), found by the mark every bar carries,
    // or nullptr. A second start uses it to show the bar before it ends.
    static HWND FindRunningBar();

    // Moves the bar back inside the work area of the monitor nearest to it.
    void KeepOnScreen();
    // Applies groups of the settings file, from one reading of it, in the order banner,
    // dictionary (reopened at the reading position), interface. Resizing applies those
    // three; the voice group is applied at start-up and after the settings sheet.
    enum SettingGroup : unsigned {
        kBannerGroup = 1u,
        kDictGroup = 2u,
        kInterfaceGroup = 4u,
        kAllGroups = 7u,
        kVoiceGroup = 8u,
    };
    void ApplySettings(unsigned groups);

    // For tests and the about box: the parts a user sees.
    CMainToolBar& ToolBar() { return m_toolbar; }
    CWordFeed& Feed() { return m_feed; }
    const CTrayIcon& Tray() const { return m_tray; }
    CBarBackground& Background() { return m_background; }
    IBarSpeech& Speech() { return m_speech; }
    CBarPower& Power() { return m_power; }
    HICON WindowIcon(bool big) const { return (big ? m_bigIcon : m_smallIcon).GetSafeHandle(); }
    HFONT HostFont() const { return m_hostFont.GetSafeHandle(); }
    // The entry a right click at this screen point (WM_CONTEXTMENU's lParam) acts on:
    // on the moving text the entry under the pointer, otherwise the newest; nullptr
    // while the banner is empty.
    const DictEntry* EntryAtScreenPoint(LPARAM screenPoint) const;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    // The work area KeepOnScreen keeps the bar in: that of the monitor nearest to the
    // window rectangle, so a monitor that has gone hands the bar to one that is there.
    virtual RECT MonitorWorkArea(const RECT& window) const;

private:
    lex::CSettings AppSettings() const { return lex::CSettings(m_context.SettingsPath()); }
    void ApplyInterfaceSettings(const lex::CSettings& settings);
    void ApplyBannerSettings(const lex::CSettings& settings);
    void OpenDictionary(const lex::CSettings& settings);
    // The reading position and the bar's place and background, as one replacement.
    void SaveShutdownState();
    void OnDestroy();
    LRESULT OnNcHitTest();
    void OnSize(int cx, int cy);
    void OnPaintMinimized();
    LRESULT OnTrayNotify(LPARAM lParam);
    // Whether anybody can see the bar, told to the banner and the feed: a hidden,
    // minimised or unseen bar rests, and the feed holds while hidden if asked to.
    void OnVisibilityChanged();
    // Reads the power source again and tells the banner whether to save power.
    void ApplyPowerState();
    void ShowBar(bool show);
    void OnOptions();
    void OnAboutCommand();
    // Imports a word list (path empty: chosen in a file dialog over owner) and, when one
    // was written, reopens the bar on it from its first entry; returns its name.
    std::string ImportWordList(lex::CWnd& owner, const std::string& path);
    // The host font and the window icons for the dialog's DPI (Dpi()), made again with
    // the toolbar when the bar moves to a monitor of another DPI.
    void LoadDpiResources();
    void OnDpiChangedMessage(WPARAM wParam, LPARAM lParam) override;

    // The study marks and options (bar_study.cpp).
    void OnBarContextMenu(LPARAM screenPoint);
    void MarkEntry(const DictEntry& entry, bool known);
    void MarkNewestEntry(bool known);
    void CopyEntry(const DictEntry& entry);
    void SpeakNewestEntry();
    // The study page's keys: the review rule and the record it may have cleared, then
    // the options.
    void ApplyStudySettings();
    // Hover, recall, pause while hidden and the hotkeys.
    void ApplyStudyOptions();
    void OnHotKey(int id);
    void BannerPointerChanged(bool inside, int item) override;

    CBarContext& m_context;
    lex::CFont m_hostFont;
    lex::CIcon m_bigIcon;
    lex::CIcon m_smallIcon;
    CMainToolBar m_toolbar;
    CBarSpeech m_speech;
    CFeedHost m_feedHost;
    CWordFeed m_feed;
    CBarBackground m_background;
    CTrayIcon m_tray;
    CBarHotkeys m_hotkeys;
    CBarAttention m_attention;
    CBarImport m_import;
    CBarPower m_power{ReadSystemPower};
    bool m_dpiChanging = false;  // moving to the rectangle WM_DPICHANGED suggested
    BOOL m_bOptionsOpen = FALSE; // the settings sheet is running
    BOOL m_started = FALSE;      // a dictionary opened at start-up and the bar was set up
    bool m_hoverPause = false;
    bool m_pauseWhileHidden = false;
};
