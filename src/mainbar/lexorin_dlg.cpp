#include "mainbar/lexorin_dlg.h"
#include "base/fileio.h"
#include "base/text.h"
#include "dialogs/about_dlg.h"
#include "framework/app.h"
#include "mainbar/bar_menu.h"
#include "options/option_sheet.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <windowsx.h>

#include <cwchar>

namespace {

// The mark on the main bar by which a second start finds it.
const wchar_t kBarMark[] = L"Lexorin.MainBar";

} // namespace

CLexorinDlg::CLexorinDlg(CBarContext& context)
    : lex::CDialog(IDD_LEXORIN_DIALOG),
      m_context(context),
      m_feedHost(m_toolbar.m_banner, *this, m_speech, context.m_strProductName),
      m_feed(m_feedHost, context.m_bDictOpen, context.m_nEntryInterval)
{
    m_feed.SetWarningSink(&m_feedHost);
}

BOOL CLexorinDlg::OnInitDialog()
{
    lex::CDialog::OnInitDialog();

    // Fonts and pictures at the DPI of the monitor the bar is on (the dialog found it).
    LoadDpiResources();
    m_tray.LoadIcons(Dpi().Dpi());

    SetWindowText(m_context.m_strProductName + m_context.m_strVersion);
    SetPropW(m_hWnd, kBarMark, reinterpret_cast<HANDLE>(1));

    // Without a dictionary there is nothing to show: the feed tells the user and ends
    // the program before the bar or its tray icon appear.
    const lex::CSettings atStart = AppSettings().ReadOnce();
    m_feed.SetPosition(atStart.DictWordCount());
    OpenDictionary(atStart);
    if (!m_context.m_bDictOpen)
        return TRUE;
    m_started = TRUE;

    // Background: the built-in tile, then the user's bitmap file if it loads.
    m_background.Create(m_hWnd);
    m_context.m_strBkFileName = AppSettings().InterfaceBKImageFileName();
    m_background.LoadFile(m_hWnd, m_context.m_strBkFileName.c_str());

    m_tray.Add(m_hWnd, m_context.m_strProductName);
    // Told once, at start-up, when the settings file cannot be written, so that this
    // run's position and look would be lost.
    const std::string settingsPath = m_context.SettingsPath();
    if (!lex::CanReplaceFile(settingsPath))
        m_tray.ShowWarning("设置无法保存",
                           "无法写入设置文件，本次的阅读位置、窗口位置和外观都不会保存。"
                           "请让这个文件（及其文件夹）可以写入：\r\n",
                           settingsPath);

    m_toolbar.CreateForBar(m_hWnd, IDC_MAIN_TOOLBAR, Dpi().Dpi(), Dpi().Scale(kBannerSlotWidth),
                           m_hostFont.GetSafeHandle());
    KeepOnScreen();

    lex::CSettings settings = AppSettings();
    SetWindowPos(m_hWnd, HWND_TOPMOST, settings.InterfaceLeft(), settings.InterfaceTop(), Dpi().Scale(kStartWidth),
                 Dpi().Scale(kStartHeight),
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    m_attention.Start(m_hWnd);
    m_import.AcceptDrops(m_hWnd);
    ApplyPowerState();
    m_toolbar.m_banner.SetPointerListener(this);
    // Only the settings: the voice itself is made when a word is first spoken.
    m_speech.Apply(AppSettings().ReadOnce());
    ApplyStudyOptions();
    m_feed.StartEntryTimer();
    OnVisibilityChanged();
    m_context.ShowTipAtStartup();
    return TRUE;
}

void CLexorinDlg::SaveShutdownState()
{
    if (!m_started)
        return; // ended before it was set up: the file still holds the right state
    lex::CSettings settings = AppSettings();
    // The state saved at exit goes into the file as one replacement: a kill half-way
    // must not pair this run's reading position with the last run's window.
    lex::CSettingsGroup shutdownState(settings);
    // Ending while nobody saw the bar: the steps since then count as taken.
    m_feed.CatchUpAfterHidden();
    settings.SetDictWordCount(m_feed.GetPosition());
    RECT r;
    GetWindowRect(&r);
    settings.SetInterfaceLeft(r.left);
    settings.SetInterfaceTop(r.top);
    settings.SetInterfaceCX(r.right - r.left);
    settings.SetInterfaceCY(r.bottom - r.top);
    settings.SetInterfaceBKImageFileName(m_context.m_strBkFileName);
    shutdownState.Commit();
}

void CLexorinDlg::OnDestroy()
{
    SaveShutdownState();
    m_attention.Stop();
    m_hotkeys.Unregister();
    if (m_context.m_bDictOpen)
        m_feed.Close();
    m_feed.StopTimer();
    m_tray.Remove();
    m_background.Release();
    RemovePropW(m_hWnd, kBarMark);
}

LRESULT CLexorinDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_attention.OnMessage(msg, wParam, lParam))
        OnVisibilityChanged();
    switch (msg) {
    case WM_DESTROY: {
        LRESULT result = Default();
        OnDestroy();
        return result;
    }
    case WM_QUERYENDSESSION:
        // The session may end without another word to us: the state is saved now,
        // whatever box is open.
        SaveShutdownState();
        return TRUE;
    case WM_ENDSESSION:
        // Once this returns the system may end the process at any moment; the
        // framework then ends every loop as the exit command does.
        if (wParam)
            SaveShutdownState();
        break;
    case WM_NCHITTEST:
        return OnNcHitTest();
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = Dpi().Scale(kMinTrackWidth);
        info->ptMinTrackSize.y = Dpi().Scale(kMinTrackHeight);
        return Default();
    }
    case WM_MOVE: {
        LRESULT result = Default();
        // Not while the dialog is being made: that would show the bar before start-up
        // has found a dictionary; start-up places it itself.
        if (m_started)
            KeepOnScreen();
        return result;
    }
    case WM_SIZE: {
        LRESULT result = Default();
        // Minimised, the bar has no client area to lay out: a resize to nothing would
        // narrow the banner's slot away and reopen the dictionary for no one.
        if (wParam != SIZE_MINIMIZED)
            OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return result;
    }
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(&r);
        m_background.Paint(reinterpret_cast<HDC>(wParam), r);
        return TRUE;
    }
    case WM_PAINT:
        if (IsIconic(m_hWnd)) {
            OnPaintMinimized();
            return 0;
        }
        break;
    case WM_POWERBROADCAST:
        // Asleep, the feed's schedule stands still (see CFeedHost::FeedNowMs); on mains
        // or battery, the banner's ticks follow.
        if (wParam == PBT_APMSUSPEND)
            m_feed.SetSuspended(true);
        else if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMEAUTOMATIC)
            m_feed.SetSuspended(false);
        else if (wParam == PBT_APMPOWERSTATUSCHANGE)
            ApplyPowerState();
        return TRUE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_bigIcon.GetSafeHandle());
    case WM_TIMER:
        if (wParam == CFeedHost::kFeedTimer)
            m_feed.OnTimerTick();
        return 0;
    case CTrayIcon::kMessage:
        return OnTrayNotify(lParam);
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wParam));
        return 0;
    case CBarHotkeys::kInUseMessage: {
        // Once start-up or the settings sheet is over.
        const std::string text = m_hotkeys.TakeMessage();
        if (!text.empty())
            lex::MessageBoxCp936(m_hWnd, text, m_context.m_strProductName, MB_OK | MB_ICONWARNING | MB_TOPMOST);
        return 0;
    }
    case WM_CONTEXTMENU:
        OnBarContextMenu(lParam);
        return 0;
    case WM_DROPFILES: {
        const std::string path = CBarImport::DroppedFile(reinterpret_cast<HDROP>(wParam));
        if (!path.empty() && !m_bOptionsOpen)
            ImportWordList(*this, path);
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        LRESULT result = lex::CDialog::WindowProc(msg, wParam, lParam);
        // Shown again or restored: the banner takes up scrolling where it stopped.
        OnVisibilityChanged();
        return result;
    }
    default:
        // The shell restarted and lost the icon.
        if (m_tray.OnTaskbarCreated(msg))
            return 0;
        break;
    }
    return lex::CDialog::WindowProc(msg, wParam, lParam);
}

BOOL CLexorinDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (lex::CommandId(wParam, lParam)) {
    case ID_DICT_NEXT:
        m_feed.ShowNextEntry();
        return TRUE;
    case ID_DICT_PREVIOUS:
        m_feed.Previous();
        return TRUE;
    case ID_DICT_RESTART:
        m_feed.Restart();
        return TRUE;
    case ID_PAUSE_PLAY:
        m_feed.PausePlay();
        return TRUE;
    case ID_SHOW_BAR:
    case ID_HIDE_BAR:
        ShowBar(lex::CommandId(wParam, lParam) == ID_SHOW_BAR);
        return TRUE;
    case ID_OPTIONS:
        OnOptions();
        return TRUE;
    case ID_APP_ABOUT_CMD:
        OnAboutCommand();
        return TRUE;
    case ID_IMPORT_WORDLIST:
        if (!m_bOptionsOpen)
            ImportWordList(*this, std::string());
        return TRUE;
    case ID_STUDY_KNOWN:
    case ID_STUDY_UNKNOWN:
        // Not from the menu (a hotkey, another program): the newest entry.
        MarkNewestEntry(lex::CommandId(wParam, lParam) == ID_STUDY_KNOWN);
        return TRUE;
    case ID_STUDY_SPEAK:
        SpeakNewestEntry();
        return TRUE;
    default:
        break;
    }
    return lex::CDialog::OnCommand(wParam, lParam);
}

LRESULT CLexorinDlg::OnNcHitTest()
{
    // The whole bar drags like a caption and stretches sideways only.
    LRESULT hit = Default();
    switch (hit) {
    case HTCLIENT:
    case HTTOP:
    case HTBOTTOM:
        return HTCAPTION;
    case HTTOPLEFT:
    case HTBOTTOMLEFT:
        return HTLEFT;
    case HTTOPRIGHT:
    case HTBOTTOMRIGHT:
        return HTRIGHT;
    default:
        return hit;
    }
}

HWND CLexorinDlg::FindRunningBar()
{
    struct Search {
        static BOOL CALLBACK Visit(HWND hWnd, LPARAM found)
        {
            wchar_t className[16] = {};
            GetClassNameW(hWnd, className, 16);
            if (std::wcscmp(className, lex::kDialogClass) != 0 || !GetPropW(hWnd, kBarMark))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = hWnd;
            return FALSE;
        }
    };
    HWND found = nullptr;
    EnumWindows(&Search::Visit, reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT CLexorinDlg::MonitorWorkArea(const RECT& window) const
{
    RECT work;
    if (lex::WorkAreaNear(window, &work))
        return work;
    ::GetWindowRect(GetDesktopWindow(), &work);
    return work;
}

void CLexorinDlg::KeepOnScreen()
{
    RECT window;
    GetWindowRect(&window);
    const POINT at = lex::KeepWithin(window.left, window.top, window.right - window.left,
                                     window.bottom - window.top, MonitorWorkArea(window));
    SetWindowPos(m_hWnd, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void CLexorinDlg::OnSize(int cx, int cy)
{
    if (!m_toolbar.IsWindow() || m_dpiChanging)
        return;
    m_feed.StopTimer();
    const CMainToolBar::ResizeStep step = m_toolbar.Resize(cx, cy, m_hostFont.GetSafeHandle());
    m_feed.StartEntryTimer();
    ApplySettings(kAllGroups);
    m_toolbar.FinishResize(step);
    // The toolbar now covers all of the bar, and the flat toolbar is transparent: it has
    // the bar draw its background under the buttons itself. A paint of the bar would
    // only draw what the toolbar's paint draws again (under Wine about half a
    // millisecond of every step). The bar does not clip its children, so only the bar
    // itself is validated: a plain ValidateRect would take the toolbar's and the
    // banner's waiting paints with it.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

void CLexorinDlg::OnPaintMinimized()
{
    lex::CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    RECT r;
    GetClientRect(&r);
    int x = (r.right - r.left - Dpi().Metric(SM_CXICON) + 1) / 2;
    int y = (r.bottom - r.top - Dpi().Metric(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_bigIcon.GetSafeHandle());
}

void CLexorinDlg::ApplyInterfaceSettings(const lex::CSettings& settings)
{
    const bool image = settings.InterfaceBKImage();
    if (image)
        m_context.m_strBkFileName = settings.InterfaceBKImageFileName();
    m_background.Apply(m_hWnd, image, m_context.m_strBkFileName, settings.InterfaceBKStartColor(),
                       settings.InterfaceBKEndColor());
}

void CLexorinDlg::ApplyBannerSettings(const lex::CSettings& settings)
{
    m_feed.ApplyBannerSettings(ReadBannerSettings(settings));
    m_power.SetAlwaysSaving(settings.BannerPowerSaving());
    m_toolbar.m_banner.SetPowerSaving(m_power.Saving());
}

void CLexorinDlg::ApplyPowerState()
{
    m_power.Refresh();
    m_toolbar.m_banner.SetPowerSaving(m_power.Saving());
}

void CLexorinDlg::OpenDictionary(const lex::CSettings& settings)
{
    m_feed.SetReviewEvery(settings.StudyReviewEvery());
    m_feed.StudyRecord().SetRetentionPercent(settings.StudyRetention());
    m_feed.OpenDictionary(m_context.m_strProgramFolder, settings.DictName());
}

void CLexorinDlg::ApplySettings(unsigned groups)
{
    // Every resize step comes here for all three: they take some twenty keys, read from
    // one reading of the file rather than one each.
    const lex::CSettings settings = AppSettings().ReadOnce();
    if (groups & kBannerGroup)
        ApplyBannerSettings(settings);
    if (groups & kDictGroup)
        OpenDictionary(settings);
    if (groups & kInterfaceGroup)
        ApplyInterfaceSettings(settings);
    if (groups & kVoiceGroup)
        m_speech.Apply(settings);
}

// The settings sheet: its pages write what the user changed and raise the group flags;
// after OK the flagged groups are applied in the order banner, dictionary, interface.
// The bar keeps feeding and scrolling meanwhile (it is only disabled).
std::string CLexorinDlg::ImportWordList(lex::CWnd& owner, const std::string& path)
{
    const std::string name =
        m_import.Run(owner, path, m_context.m_strProgramFolder, m_context.SettingsPath(), m_context.m_strProductName);
    if (!name.empty() && m_hWnd) {
        m_feed.SetPosition(0);
        ApplySettings(kDictGroup);
    }
    return name;
}

void CLexorinDlg::OnOptions()
{
    if (m_bOptionsOpen)
        return; // the tray menu can ask again while the sheet is open
    BOOL bannerChanged = FALSE, dictChanged = FALSE, interfaceChanged = FALSE, studyChanged = FALSE,
         voiceChanged = FALSE;
    COptionContext context;
    context.programFolder = m_context.m_strProgramFolder;
    context.settingsPath = m_context.SettingsPath();
    context.backgroundFile = m_context.m_strBkFileName;
    context.bannerChanged = &bannerChanged;
    context.dictChanged = &dictChanged;
    context.interfaceChanged = &interfaceChanged;
    context.voiceChanged = &voiceChanged;
    context.studyRecord = &m_feed.StudyRecord();
    context.studyChanged = &studyChanged;
    context.importWordList = [this](HWND page) {
        lex::CWnd owner;
        owner.m_hWnd = page;
        const std::string name = ImportWordList(owner, std::string());
        owner.m_hWnd = nullptr;
        return name;
    };
    m_bOptionsOpen = TRUE;
    INT_PTR result = RunOptionSheet(context);
    m_bOptionsOpen = FALSE;
    // The study page clears the record at once, OK or not.
    if (studyChanged && m_hWnd)
        ApplyStudySettings();
    if (result != IDOK || !m_hWnd)
        return;
    ApplySettings((bannerChanged ? kBannerGroup : 0u) | (dictChanged ? kDictGroup : 0u) |
                  (interfaceChanged ? kInterfaceGroup : 0u) | (voiceChanged ? kVoiceGroup : 0u));
    // The speak hotkey is held only while words are spoken.
    if (voiceChanged && !studyChanged)
        ApplyStudyOptions();
}

void CLexorinDlg::ShowBar(bool show)
{
    ShowWindow(show ? SW_SHOW : SW_HIDE);
    m_tray.SetShown(show);
}

LRESULT CLexorinDlg::OnTrayNotify(LPARAM lParam)
{
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
        ShowBar(!IsWindowVisible());
        break;
    case WM_RBUTTONUP: {
        POINT pt;
        GetCursorPos(&pt);
        if (const UINT chosen = TrackBarMenu(*this, BarMenuRequest{pt, Dpi().Dpi(), {}, true}))
            PostMessage(WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
        break;
    }
    default:
        break;
    }
    return 0;
}

// The about box ------------------------------------------------------------------------

void CLexorinDlg::OnAboutCommand()
{
    // The toolbar and the tray menu open one box at a time.
    if (m_context.m_bAboutBoxOpen)
        return;
    m_context.m_bAboutBoxOpen = TRUE;
    CAboutDlg about(AboutBoxInfo{m_context.m_strProductName, m_context.m_strVersion, m_context.m_strProgramFolder,
                                 m_context.MessageCaption()},
                    this);
    about.DoModal();
    m_context.m_bAboutBoxOpen = FALSE;
}

// The bar at the DPI of its monitor ---------------------------------------------------
// The host font, the window and tray icons and the toolbar are made for the bar's DPI,
// and made again when the bar is moved to a monitor of another DPI (WM_DPICHANGED).
// Every size is written at 96 DPI and scaled.

void CLexorinDlg::LoadDpiResources()
{
    const int dpi = Dpi().Dpi();
    // Every banner font is derived from this one; its height is 12 pixels at 96 DPI.
    LOGFONTW lf = {};
    lf.lfHeight = Dpi().Scale(12);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(lf.lfFaceName, lex::Widen("隶书").c_str());
    lex::CFont hostFont;
    hostFont.CreateFontIndirect(lf);

    HINSTANCE instance = lex::AfxGetResourceHandle();
    lex::CIcon big(lex::LoadIconForDpi(instance, IDR_MAINFRAME, SM_CXICON, SM_CYICON, dpi));
    lex::CIcon small(lex::LoadIconForDpi(instance, IDR_MAINFRAME, SM_CXSMICON, SM_CYSMICON, dpi));
    // The new ones are handed out before the old ones go.
    if (m_hWnd) {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.GetSafeHandle()));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.GetSafeHandle()));
        if (m_toolbar.m_banner.IsWindow())
            m_toolbar.m_banner.SetFont(hostFont.GetSafeHandle(), TRUE);
    }
    m_bigIcon = std::move(big);
    m_smallIcon = std::move(small);
    m_hostFont = std::move(hostFont);
}

void CLexorinDlg::OnDpiChangedMessage(WPARAM wParam, LPARAM lParam)
{
    const int dpi = lex::DpiFromDpiChanged(wParam);
    const RECT& suggested = lex::SuggestedDpiRect(lParam);
    if (dpi <= 0)
        return;
    const int oldDpi = Dpi().Dpi();
    const bool hadToolbar = m_toolbar.IsWindow() != FALSE;
    // The slot keeps its share of the bar: the user may have stretched it.
    const int slotWidth =
        hadToolbar ? MulDiv(m_toolbar.SlotWidth(), dpi, oldDpi) : MulDiv(kBannerSlotWidth, dpi, lex::kBaseDpi);
    if (hadToolbar) {
        // The banner goes with the toolbar (its object keeps its items for the new
        // window), before the host font it uses is replaced.
        m_feed.StopTimer();
        m_toolbar.DestroyWindow();
    }
    SetDpi(dpi);
    LoadDpiResources();
    m_tray.LoadIcons(dpi);

    // The rectangle the system suggests keeps the bar's place on the new monitor; the
    // layout is made once, below, for the new toolbar.
    m_dpiChanging = true;
    SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    m_dpiChanging = false;
    if (!hadToolbar)
        return;
    m_toolbar.CreateForBar(m_hWnd, IDC_MAIN_TOOLBAR, dpi, slotWidth, m_hostFont.GetSafeHandle());
    RECT client;
    GetClientRect(&client);
    OnSize(client.right - client.left, client.bottom - client.top);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Whether anybody can see the bar -------------------------------------------------------

void CLexorinDlg::OnVisibilityChanged()
{
    if (!m_started || !m_hWnd)
        return;
    const bool visible = IsWindowVisible() != FALSE;
    const bool shown = visible && !::IsIconic(m_hWnd);
    m_attention.SetWindowShown(shown);
    m_toolbar.m_banner.SetObstructed(!m_attention.Unobstructed());
    if (shown)
        m_toolbar.m_banner.WakeScrolling();
    m_feed.SetSeen(shown && m_attention.Unobstructed());
    // Off, a hidden bar's feed goes on advancing, as it always has.
    m_feed.SetHold(CWordFeed::kHoldHidden, m_pauseWhileHidden && !visible);
}
