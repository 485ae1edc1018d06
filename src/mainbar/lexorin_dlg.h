// CLexorinDlg: the main bar, the program's main window, run as a modal dialog. A
// captionless, always-on-top bar that drags by its body, stretches sideways only,
// keeps itself on screen, draws a tiled bitmap or a gradient behind its toolbar, feeds
// dictionary entries onto the banner and saves its state when it is destroyed.
#pragma once

#include "banner/banner_ctrl.h"
#include "dictionary/line_reader.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "framework/gdi.h"
#include "mainbar/bar_attention.h"
#include "mainbar/bar_context.h"
#include "mainbar/bar_layout.h"
#include "mainbar/main_toolbar.h"
#include "mainbar/word_feed.h"

#include <shellapi.h>

#include <string>

// The main bar's toolbar: adds nothing but owning the banner, a child of the toolbar.
class CBarToolBar : public CMainToolBar {
public:
    CBannerCtrl m_banner;
};

// Over-long dictionary lines are reported in a warning box owned by no window.
class CMessageBoxWarning : public ILineReaderWarning {
public:
    void Warn(const std::string& text, const std::string& caption) override;
};

class CLexorinDlg : public lex::CDialog, private IWordFeedHost, private IBannerPointerListener {
public:
    static constexpr UINT_PTR kFeedTimer = 1;
    static constexpr UINT kTrayMessage = WM_USER + 5;
    static constexpr UINT kTrayIconId = 103;
    static constexpr int kStartWidth = 640;
    static constexpr int kStartHeight = 27;
    static constexpr int kMinTrackWidth = 640;
    static constexpr int kMinTrackHeight = 30;
    static constexpr int kBannerSlotWidth = 435;
    // The sizes above are those at 96 DPI; the bar scales them to the DPI of its monitor.
    // Posted to itself to tell of hotkeys that could not be had, once start-up or the
    // settings sheet is over.
    static constexpr UINT kHotkeysInUseMessage = WM_APP + 23;
    // The system-wide hotkeys, by their registration ids.
    enum : int { kHotkeyShowHide = 1, kHotkeyPausePlay, kHotkeyKnown, kHotkeyUnknown, kHotkeyCount = 4 };

    // The context is the owner's and outlives the bar.
    explicit CLexorinDlg(CBarContext& context);
    ~CLexorinDlg() override;

    // The running copy's main bar (any process), found by the mark every bar carries,
    // or nullptr. A second start uses it to show the bar before it ends.
    static HWND FindRunningBar();

    // Moves the bar back inside the work area of the monitor nearest to it.
    void KeepOnScreen();
    BOOL LoadBackgroundImage(const char* path);
    void ClearBackgroundImage();
    // Each applies its group of the settings file; ReapplyAllSettings all three, from
    // one reading of the file.
    void ApplyInterfaceSettings() { ApplyInterfaceSettings(AppSettings()); }
    void ApplyBannerSettings() { ApplyBannerSettings(AppSettings()); }
    BOOL OpenDictionary() { return OpenDictionary(AppSettings()); }
    void ReapplyAllSettings();

    // For tests and the about box: the parts a user sees.
    CBarToolBar& ToolBar() { return m_toolbar; }
    CWordFeed& Feed() { return m_feed; }
    const NOTIFYICONDATAW& TrayIcon() const { return m_tray; }
    HICON WindowIcon(bool big) const { return big ? m_hIcon : m_hSmallIcon; }
    HFONT HostFont() const { return m_hostFont.GetSafeHandle(); }
    // The tray's icon for a state (IDI_TRAY_SHOWN, IDI_TRAY_HIDDEN), at the bar's DPI.
    HICON TrayIconFor(UINT iconId) const;
    // The toolbar's pictures at each size they are drawn at (the menu shows them too).
    static lex::DrawnStrip ToolbarArt();
    // The entry a right click at this screen point (WM_CONTEXTMENU's lParam) acts on:
    // on the moving text the entry under the pointer, otherwise the newest; nullptr
    // while the banner is empty.
    const DictEntry* EntryAtScreenPoint(LPARAM screenPoint) const;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    BOOL OnInitDialog() override;
    // The work area KeepOnScreen keeps the bar in: that of the monitor nearest to the
    // window rectangle, so a monitor that has gone hands the bar to one that is there.
    virtual BarRect MonitorWorkArea(const RECT& window) const;

private:
    lex::CSettings AppSettings() const { return lex::CSettings(m_context.SettingsPath()); }
    void ApplyInterfaceSettings(const lex::CSettings& settings);
    void ApplyBannerSettings(const lex::CSettings& settings);
    BOOL OpenDictionary(const lex::CSettings& settings);
    // The reading position and the bar's place and background, as one replacement.
    void SaveShutdownState();
    void OnDestroy();
    LRESULT OnNcHitTest(LPARAM lParam);
    void OnSize(int cx, int cy);
    BOOL OnEraseBkgnd(HDC dc);
    void OnPaintMinimized();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void PlaceBanner(int slotWidth);
    void LayoutSpacers();
    void CreateBanner(const RECT& slot, const char* text);
    void AddTrayIcon();
    void UpdateTrayIcon(UINT iconId, const char* tip);
    // Once, at start-up: tells through the tray icon when the settings file cannot be
    // written, so that this run's position and look would be lost.
    void WarnIfSettingsCannotBeSaved();
    void ShowTrayMenu();
    // Tells the banner and the feed whether anybody can see the bar (bar_seen.cpp).
    void UpdateSeen();
    // Study marks (bar_study.cpp).
    void OnBarContextMenu(LPARAM screenPoint);
    void MarkEntry(const DictEntry& entry, bool known);
    void OnStudyCommand(UINT id);
    void CopyEntry(const DictEntry& entry);
    // The study page's keys and the record it may have cleared.
    void ApplyStudySettings();
    // Hover, recall, pause while hidden and the hotkeys (bar_study_options.cpp).
    void ApplyStudyOptions();
    void RegisterHotkeys(const lex::CSettings& settings);
    void UnregisterHotkeys();
    void OnHotKey(int id);
    void TellHotkeysInUse();
    void OnShownOrHidden();
    void BannerPointerChanged(bool inside, int item) override;
    void ShowBar();
    void HideBar();
    void ToggleBar();
    void OnOptions();
    void OnAboutCommand();
    // DPI (bar_dpi.cpp): the host font and the window and tray icons for the dialog's
    // DPI (Dpi()), made again when the bar moves to a monitor of another DPI, with the
    // toolbar and layout.
    void LoadDpiResources();
    void ReleaseDpiResources();
    void OnDpiChangedMessage(WPARAM wParam, LPARAM lParam) override;
    // The toolbar with its images for the bar's DPI, the banner in a slot of slotWidth pixels.
    void CreateToolBar(int slotWidth);
    // After a resize step that changed only the width: leaves the part of the toolbar
    // left of the banner's slot as it is on screen, keeping what waited there before the
    // step.
    void KeepUnchangedPart(int slotLeft, HRGN toolbarWaiting);
    void ShowAboutBox();

    // IWordFeedHost
    void FeedAddItem(const CBannerItem& item) override;
    void FeedClearBanner() override;
    void FeedMoveLineToStart() override;
    void FeedSetAutoSize(bool on) override;
    void FeedSetSpeed(int speed) override;
    void FeedSetBackgroundColor(uint32_t colour) override;
    void FeedStartTimer(int periodMs) override;
    void FeedStopTimer() override;
    uint64_t FeedNowMs() const override;
    void FeedEndProgram(int exitCode) override;
    void FeedShowError(const std::string& text) override;

    CBarContext& m_context;
    NOTIFYICONDATAW m_tray = {};
    lex::CFont m_hostFont;
    CMessageBoxWarning m_warning;
    CWordFeed m_feed;
    lex::CBitmap m_background;
    // The file m_background was loaded from, as it was then: the bar re-applies its
    // background on every resize step, and an unchanged file is not decoded again.
    struct FileStamp {
        std::string path;
        unsigned long long size = 0;
        unsigned long long lastWrite = 0;
        bool operator==(const FileStamp& o) const
        {
            return path == o.path && size == o.size && lastWrite == o.lastWrite;
        }
    };
    FileStamp m_backgroundStamp;
    COLORREF m_gradientStart;
    COLORREF m_gradientEnd;
    lex::CMemoryDC m_memDC;
    HGDIOBJ m_oldMemBitmap = nullptr;
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    HICON m_trayShown = nullptr;
    HICON m_trayHidden = nullptr;
    UINT m_trayIconId = 0;
    bool m_dpiChanging = false; // moving to the rectangle WM_DPICHANGED suggested
    CBarToolBar m_toolbar;
    CBarAttention m_attention;
    BOOL m_bOptionsOpen = FALSE; // the settings sheet is running
    BOOL m_started = FALSE;      // a dictionary opened at start-up and the bar was set up
    bool m_hoverPause = false;
    bool m_pauseWhileHidden = false;
    bool m_hotkeyRegistered[kHotkeyCount] = {};
    // What TellHotkeysInUse is to say, built when the hotkeys were registered.
    std::string m_hotkeysInUseText;
};
