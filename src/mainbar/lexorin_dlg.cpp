#include "mainbar/lexorin_dlg.h"
#include "base/fileio.h"
#include "base/text.h"
#include "dialogs/about_dlg.h"
#include "framework/app.h"
#include "framework/system_call.h"
#include "mainbar/bar_layout.h"
#include "menuskin/new_menu.h"
#include "resources/resource.h"
#include "settings/option_sheet.h"
#include "settings/settings.h"
#include "widgets/bmp_file.h"

#include <mmsystem.h>
#include <windowsx.h>

#include <chrono>
#include <cstring>
#include <cwchar>

namespace {

BarRect ToBarRect(const RECT& r)
{
    return BarRect{r.left, r.top, r.right, r.bottom};
}

// The mark on the main bar by which a second start finds it.
const wchar_t kBarMark[] = L"Lexorin.MainBar";

// Sent by the shell to every top-level window when the taskbar is (re)created, for
// example after Explorer restarted; every tray icon must then be added again.
UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

} // namespace

void CMessageBoxWarning::Warn(const std::string& text, const std::string& caption)
{
    lex::MessageBoxCp936(nullptr, text, caption, MB_OK | MB_ICONWARNING);
}

CLexorinDlg::CLexorinDlg(CBarContext& context)
    : lex::CDialog(IDD_LEXORIN_DIALOG),
      m_context(context),
      m_feed(*this, context.m_bDictOpen, context.m_nEntryInterval),
      m_gradientStart(GetSysColor(COLOR_3DLIGHT)),
      m_gradientEnd(GetSysColor(COLOR_BTNSHADOW))
{
    m_feed.SetWarningSink(&m_warning);
}

CLexorinDlg::~CLexorinDlg()
{
    ReleaseDpiResources();
}

BOOL CLexorinDlg::OnInitDialog()
{
    lex::CDialog::OnInitDialog();

    if (GetStyle() & WS_SYSMENU) {
        std::string about = lex::LoadStringCp936(IDS_ABOUTBOX);
        HMENU sysMenu = GetSystemMenu(m_hWnd, FALSE);
        if (sysMenu && !about.empty()) {
            AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(sysMenu, MF_STRING, IDM_ABOUTBOX, lex::Widen(about).c_str());
        }
    }
    // Fonts and pictures at the DPI of the monitor the bar is on (the dialog found it).
    LoadDpiResources();

    m_gradientStart = GetSysColor(COLOR_3DLIGHT);
    m_gradientEnd = GetSysColor(COLOR_BTNSHADOW);
    SetWindowText(m_context.m_strProductName + m_context.m_strVersion);
    SetPropW(m_hWnd, kBarMark, reinterpret_cast<HANDLE>(1));

    // Without a dictionary there is nothing to show: the feed tells the user and ends
    // the program before the bar or its tray icon appear.
    m_feed.SetPosition(AppSettings().DictWordCount());
    if (!OpenDictionary())
        return TRUE;
    m_started = TRUE;

    // Background: the built-in tile, then the user's bitmap file if it loads.
    m_background.LoadBitmap(IDB_BACKGROUND);
    {
        lex::CClientDC windowDC(m_hWnd);
        m_memDC.CreateCompatibleDC(windowDC.GetSafeHdc());
    }
    if (m_background)
        m_oldMemBitmap = m_memDC.SelectObject(m_background.GetSafeHandle());
    m_context.m_strBkFileName = AppSettings().InterfaceBKImageFileName();
    LoadBackgroundImage(m_context.m_strBkFileName.c_str());

    AddTrayIcon();
    WarnIfSettingsCannotBeSaved();

    CreateToolBar(Dpi().Scale(kBannerSlotWidth));
    KeepOnScreen();

    lex::CSettings settings = AppSettings();
    SetWindowPos(m_hWnd, HWND_TOPMOST, settings.InterfaceLeft(), settings.InterfaceTop(), Dpi().Scale(kStartWidth),
                 Dpi().Scale(kStartHeight),
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    m_attention.Start(m_hWnd);
    ApplyStudyOptions();
    m_feed.StartEntryTimer();
    UpdateSeen();
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
    UnregisterHotkeys();
    if (m_context.m_bDictOpen)
        m_feed.Close();
    m_feed.StopTimer();
    Shell_NotifyIconW(NIM_DELETE, &m_tray);
    if (m_oldMemBitmap) {
        m_memDC.SelectObject(m_oldMemBitmap);
        m_oldMemBitmap = nullptr;
    }
    m_background.DeleteObject();
    m_backgroundStamp = FileStamp();
    RemovePropW(m_hWnd, kBarMark);
}

LRESULT CLexorinDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_attention.OnMessage(msg, wParam, lParam))
        UpdateSeen();
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
        return OnNcHitTest(lParam);
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
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        if (IsIconic(m_hWnd)) {
            OnPaintMinimized();
            return 0;
        }
        break;
    case WM_POWERBROADCAST:
        // Asleep, the feed's schedule stands still (see FeedNowMs).
        if (wParam == PBT_APMSUSPEND)
            m_feed.SetSuspended(true);
        else if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMEAUTOMATIC)
            m_feed.SetSuspended(false);
        return TRUE;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_TIMER:
        if (wParam == kFeedTimer)
            m_feed.OnTimerTick();
        return 0;
    case kTrayMessage:
        return OnTrayNotify(wParam, lParam);
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wParam));
        return 0;
    case kHotkeysInUseMessage:
        TellHotkeysInUse();
        return 0;
    case WM_CONTEXTMENU:
        OnBarContextMenu(lParam);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            ShowAboutBox();
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        LRESULT result = lex::CDialog::WindowProc(msg, wParam, lParam);
        // Shown again or restored: the banner takes up scrolling where it stopped.
        UpdateSeen();
        OnShownOrHidden();
        return result;
    }
    default:
        if (msg == TaskbarCreatedMessage() && msg != 0) {
            // The shell restarted and lost the icon: add it again as it was, with the
            // icon and tip of the current state, or a hidden bar could not be reached.
            Shell_NotifyIconW(NIM_ADD, &m_tray);
            return 0;
        }
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
        ShowBar();
        return TRUE;
    case ID_HIDE_BAR:
        HideBar();
        return TRUE;
    case ID_OPTIONS:
        OnOptions();
        return TRUE;
    case ID_APP_ABOUT_CMD:
        OnAboutCommand();
        return TRUE;
    case ID_STUDY_KNOWN:
    case ID_STUDY_UNKNOWN:
        OnStudyCommand(lex::CommandId(wParam, lParam));
        return TRUE;
    default:
        break;
    }
    return lex::CDialog::OnCommand(wParam, lParam);
}

BOOL CLexorinDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // The toolbar forwards its tooltip's text requests here.
    if (m_toolbar.OnTooltipNotify(reinterpret_cast<NMHDR*>(lParam), result))
        return TRUE;
    return lex::CDialog::OnNotify(wParam, lParam, result);
}

LRESULT CLexorinDlg::OnNcHitTest(LPARAM)
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
            if (std::wcscmp(className, L"#32770") != 0 || !GetPropW(hWnd, kBarMark))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = hWnd;
            return FALSE;
        }
    };
    HWND found = nullptr;
    EnumWindows(&Search::Visit, reinterpret_cast<LPARAM>(&found));
    return found;
}

BarRect CLexorinDlg::MonitorWorkArea(const RECT& window) const
{
    RECT work;
    if (lex::WorkAreaNear(window, &work))
        return ToBarRect(work);
    RECT desktop;
    ::GetWindowRect(GetDesktopWindow(), &desktop);
    return ToBarRect(desktop);
}

void CLexorinDlg::KeepOnScreen()
{
    RECT window;
    GetWindowRect(&window);
    int left, top;
    KeepOnScreenPosition(MonitorWorkArea(window), ToBarRect(window), left, top);
    SetWindowPos(m_hWnd, HWND_TOPMOST, left, top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void CLexorinDlg::OnSize(int cx, int cy)
{
    if (!m_toolbar.IsWindow() || m_dpiChanging)
        return;
    int slotIndex = m_toolbar.CommandToIndex(ID_BANNER_SLOT);
    RECT slot = {0, 0, 0, 0};
    m_toolbar.GetItemRect(slotIndex, &slot);
    RECT client;
    m_toolbar.GetClientRect(&client);
    int oldWidth = client.right - client.left;
    const int oldHeight = client.bottom - client.top;
    // What was waiting to be painted before this step; see KeepUnchangedPart.
    lex::CGdiObjectT<HRGN> toolbarWaiting(::CreateRectRgn(0, 0, 0, 0));
    const bool waitingKnown =
        toolbarWaiting && ::GetUpdateRgn(m_toolbar.m_hWnd, toolbarWaiting.GetSafeHandle(), FALSE) != ERROR;

    MoveWindow(m_toolbar.m_hWnd, 0, 0, cx, cy, FALSE);
    m_toolbar.GetClientRect(&client);
    slot.right += (client.right - client.left) - oldWidth;

    m_feed.StopTimer();
    m_toolbar.m_banner.DestroyWindow();
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE;
    info.cx = static_cast<WORD>(slot.right > slot.left ? slot.right - slot.left : 0);
    m_toolbar.SendMessage(TB_SETBUTTONINFOW, ID_BANNER_SLOT, reinterpret_cast<LPARAM>(&info));
    CreateBanner(slot, "滚动");
    m_feed.StartEntryTimer();

    ReapplyAllSettings();
    if (waitingKnown && client.bottom - client.top == oldHeight)
        KeepUnchangedPart(slot.left, toolbarWaiting.GetSafeHandle());
    // The toolbar now covers all of the bar, and the flat toolbar is transparent: it has
    // the bar draw its background under the buttons itself. A paint of the bar would
    // only draw what the toolbar's paint draws again (under Wine about half a
    // millisecond of every step). The bar does not clip its children, so only the bar
    // itself is validated: a plain ValidateRect would take the toolbar's and the
    // banner's waiting paints with it.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

void CLexorinDlg::KeepUnchangedPart(int slotLeft, HRGN toolbarWaiting)
{
    // Re-applying the settings asks for the whole bar to be painted again, but when only
    // the width changed, nothing left of the banner's slot did: the buttons there keep
    // their places and the background is drawn from the top-left corner (a gradient
    // runs from top to bottom). The system keeps those pixels through the resize, so
    // that part is taken off the repaint; what was waiting there from before is put
    // back. Painting the toolbar's buttons is most of a resize step's drawing.
    if (slotLeft <= 0)
        return;
    RECT client;
    m_toolbar.GetClientRect(&client);
    const RECT unchanged = {0, 0, slotLeft, client.bottom};
    ::ValidateRect(m_toolbar.m_hWnd, &unchanged);
    ::InvalidateRgn(m_toolbar.m_hWnd, toolbarWaiting, TRUE);
}

BOOL CLexorinDlg::OnEraseBkgnd(HDC dc)
{
    RECT r;
    GetClientRect(&r);
    SIZE size = m_background.GetSize();
    if (m_background && size.cx > 0 && size.cy > 0) {
        int w = r.right - r.left, h = r.bottom - r.top;
        for (int i = 0; i <= w / size.cx; ++i)
            for (int j = 0; j <= h / size.cy; ++j)
                BitBlt(dc, i * size.cx, j * size.cy, size.cx, size.cy, m_memDC.GetSafeHdc(), 0, 0, SRCCOPY);
    } else {
        lex::FillGradient(dc, r, m_gradientStart, m_gradientEnd, lex::GradientAxis::TopToBottom);
    }
    return TRUE;
}

void CLexorinDlg::OnPaintMinimized()
{
    lex::CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    RECT r;
    GetClientRect(&r);
    int x = (r.right - r.left - Dpi().Metric(SM_CXICON) + 1) / 2;
    int y = (r.bottom - r.top - Dpi().Metric(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

BOOL CLexorinDlg::LoadBackgroundImage(const char* path)
{
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    const bool stamped =
        GetFileAttributesExW(lex::Widen(path).c_str(), GetFileExInfoStandard, &attributes) &&
        !(attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (stamped) {
        stamp.path = path;
        stamp.size = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
        stamp.lastWrite = (static_cast<unsigned long long>(attributes.ftLastWriteTime.dwHighDateTime) << 32) |
                          attributes.ftLastWriteTime.dwLowDateTime;
        if (m_background && stamp == m_backgroundStamp)
            return TRUE; // the picture on show is this very file
    }
    // No such file (the shipped name "2" names none): nothing to load, so the bar's
    // drawing is not locked at all. Every resize step comes through here, and under
    // Wine each lock and unlock of a top-level window costs about a millisecond.
    if (!stamped)
        return FALSE;
    SendMessage(WM_SETREDRAW, FALSE);
    HBITMAP loaded = lex::LoadBitmapFile(path);
    if (!loaded) {
        SendMessage(WM_SETREDRAW, TRUE);
        return FALSE;
    }
    if (m_oldMemBitmap)
        m_memDC.SelectObject(m_oldMemBitmap);
    m_background.Attach(loaded);
    m_backgroundStamp = stamp;
    m_oldMemBitmap = m_memDC.SelectObject(loaded);
    SendMessage(WM_SETREDRAW, TRUE);
    return TRUE;
}

void CLexorinDlg::ClearBackgroundImage()
{
    SendMessage(WM_SETREDRAW, FALSE);
    if (m_oldMemBitmap) {
        m_memDC.SelectObject(m_oldMemBitmap);
        m_oldMemBitmap = nullptr;
    }
    m_background.DeleteObject();
    m_backgroundStamp = FileStamp();
    SendMessage(WM_SETREDRAW, TRUE);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CLexorinDlg::ApplyInterfaceSettings(const lex::CSettings& settings)
{
    m_gradientStart = settings.InterfaceBKStartColor();
    m_gradientEnd = settings.InterfaceBKEndColor();
    if (settings.InterfaceBKImage()) {
        m_context.m_strBkFileName = settings.InterfaceBKImageFileName();
        if (!LoadBackgroundImage(m_context.m_strBkFileName.c_str()) && !m_background) {
            // Back from the gradient with no usable file: the built-in tile again.
            lex::CBitmap builtIn;
            if (builtIn.LoadBitmap(IDB_BACKGROUND)) {
                m_background = std::move(builtIn);
                m_backgroundStamp = FileStamp();
                m_oldMemBitmap = m_memDC.SelectObject(m_background.GetSafeHandle());
            }
        }
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    } else {
        ClearBackgroundImage();
    }
}

void CLexorinDlg::ApplyBannerSettings(const lex::CSettings& settings)
{
    m_feed.ApplyBannerSettings(ReadBannerSettings(settings));
}

BOOL CLexorinDlg::OpenDictionary(const lex::CSettings& settings)
{
    m_feed.SetReviewEvery(settings.StudyReviewEvery());
    return m_feed.OpenDictionary(m_context.m_strProgramFolder, settings.DictName());
}

void CLexorinDlg::ReapplyAllSettings()
{
    // Every resize step comes here: the three groups take some twenty keys, read from
    // one reading of the file rather than one each.
    const lex::CSettings settings = AppSettings().ReadOnce();
    ApplyBannerSettings(settings);
    OpenDictionary(settings);
    ApplyInterfaceSettings(settings);
}

// The settings sheet: its pages write what the user changed and raise the group flags;
// after OK the flagged groups are applied in the order banner, dictionary, interface.
// The bar keeps feeding and scrolling meanwhile (it is only disabled).
void CLexorinDlg::OnOptions()
{
    if (m_bOptionsOpen)
        return; // the tray menu can ask again while the sheet is open
    BOOL bannerChanged = FALSE, dictChanged = FALSE, interfaceChanged = FALSE, studyChanged = FALSE;
    COptionContext context;
    context.programFolder = m_context.m_strProgramFolder;
    context.settingsPath = m_context.SettingsPath();
    context.backgroundFile = m_context.m_strBkFileName;
    context.bannerChanged = &bannerChanged;
    context.dictChanged = &dictChanged;
    context.interfaceChanged = &interfaceChanged;
    context.studyRecord = &m_feed.StudyRecord();
    context.studyChanged = &studyChanged;
    m_bOptionsOpen = TRUE;
    INT_PTR result = RunOptionSheet(context);
    m_bOptionsOpen = FALSE;
    // The study page clears the record at once, OK or not.
    if (studyChanged && m_hWnd)
        ApplyStudySettings();
    if (result != IDOK || !m_hWnd)
        return;
    if (bannerChanged)
        ApplyBannerSettings();
    if (dictChanged)
        OpenDictionary();
    if (interfaceChanged)
        ApplyInterfaceSettings();
}

void CLexorinDlg::CreateBanner(const RECT& slot, const char* text)
{
    m_toolbar.m_banner.Create(text, WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER, slot, m_toolbar.m_hWnd,
                              IDC_BANNER);
    m_toolbar.m_banner.SetFont(m_hostFont.GetSafeHandle(), TRUE);
}

void CLexorinDlg::PlaceBanner(int slotWidth)
{
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE | TBIF_SIZE | TBIF_COMMAND;
    info.idCommand = ID_BANNER_SLOT;
    info.fsStyle = TBSTYLE_SEP;
    info.cx = static_cast<WORD>(slotWidth);
    m_toolbar.SendMessage(TB_SETBUTTONINFOW, ID_BANNER_SLOT, reinterpret_cast<LPARAM>(&info));
    RECT slot = {0, 0, 0, 0};
    m_toolbar.GetItemRect(m_toolbar.CommandToIndex(ID_BANNER_SLOT), &slot);
    m_toolbar.m_banner.Create("滚动条", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER, slot, m_toolbar.m_hWnd,
                              IDC_BANNER);
}

void CLexorinDlg::LayoutSpacers()
{
    for (UINT id : {ID_GAP_1, ID_GAP_2}) {
        RECT r = {0, 0, 0, 0};
        m_toolbar.GetItemRect(m_toolbar.CommandToIndex(id), &r);
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STYLE | TBIF_SIZE | TBIF_COMMAND;
        info.idCommand = static_cast<int>(id);
        info.fsStyle = TBSTYLE_SEP;
        info.cx = static_cast<WORD>((r.right - r.left) / 3);
        m_toolbar.SendMessage(TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
    }
}

// The tray icon --------------------------------------------------------------------

void CLexorinDlg::AddTrayIcon()
{
    m_tray.cbSize = NOTIFYICONDATAW_V1_SIZE;
    m_tray.hWnd = m_hWnd;
    m_tray.uID = kTrayIconId;
    m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_tray.uCallbackMessage = kTrayMessage;
    m_trayIconId = IDI_TRAY_SHOWN;
    m_tray.hIcon = TrayIconFor(m_trayIconId);
    std::wstring tip = lex::Widen(m_context.m_strProductName).substr(0, 63);
    std::memcpy(m_tray.szTip, tip.c_str(), (tip.size() + 1) * sizeof(wchar_t));
    Shell_NotifyIconW(NIM_ADD, &m_tray);
}

void CLexorinDlg::WarnIfSettingsCannotBeSaved()
{
    const std::string path = m_context.SettingsPath();
    if (lex::CanReplaceFile(path))
        return;
    // A balloon from the tray icon, which tells without stopping the user; the path
    // goes last and loses its beginning if the balloon cannot hold all of it.
    NOTIFYICONDATAW balloon = m_tray;
    balloon.cbSize = sizeof balloon;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    const std::wstring title = lex::Widen("设置无法保存");
    const std::wstring why = lex::Widen("无法写入设置文件，本次的阅读位置、窗口位置和外观都不会保存。"
                                        "请让这个文件（及其文件夹）可以写入：\r\n");
    std::wstring where = lex::Widen(path);
    const size_t room = ARRAYSIZE(balloon.szInfo) - 1 - why.size();
    if (where.size() > room)
        where = L"\x2026" + where.substr(where.size() - (room - 1));
    const std::wstring text = why + where;
    std::wcsncpy(balloon.szInfoTitle, title.c_str(), ARRAYSIZE(balloon.szInfoTitle) - 1);
    std::wcsncpy(balloon.szInfo, text.c_str(), ARRAYSIZE(balloon.szInfo) - 1);
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void CLexorinDlg::UpdateTrayIcon(UINT iconId, const char* tip)
{
    m_trayIconId = iconId;
    m_tray.hIcon = TrayIconFor(iconId);
    std::wstring wide = lex::Widen(tip).substr(0, 63);
    std::memcpy(m_tray.szTip, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    Shell_NotifyIconW(NIM_MODIFY, &m_tray);
}

void CLexorinDlg::ShowBar()
{
    ShowWindow(SW_SHOW);
    UpdateTrayIcon(IDI_TRAY_SHOWN, "显示");
}

void CLexorinDlg::HideBar()
{
    ShowWindow(SW_HIDE);
    UpdateTrayIcon(IDI_TRAY_HIDDEN, "隐藏");
}

void CLexorinDlg::ToggleBar()
{
    if (IsWindowVisible())
        HideBar();
    else
        ShowBar();
}

LRESULT CLexorinDlg::OnTrayNotify(WPARAM, LPARAM lParam)
{
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
        ToggleBar();
        break;
    case WM_RBUTTONUP:
        ShowTrayMenu();
        break;
    default:
        break;
    }
    return 0;
}

void CLexorinDlg::ShowTrayMenu()
{
    POINT pt;
    GetCursorPos(&pt);
    HINSTANCE instance = lex::AfxGetResourceHandle();
    // The skinned menu: owner-drawn items with the toolbar's icons, a flat frame and shadow.
    CNewMenu menu;
    if (!menu.LoadMenu(IDR_TRAY_MENU))
        return;
    menu.SetDpi(Dpi().Dpi());
    menu.LoadToolBarIcons(IDR_MAINTOOLBAR, nullptr, ToolbarArt());
    if (CNewMenu* popup = menu.GetSubMenu(0)) {
        popup->SetDefaultItem(0, TRUE);
        SetForegroundWindow(m_hWnd);
        PlaySoundW(MAKEINTRESOURCEW(IDR_WAVE_TRAY), instance, SND_RESOURCE | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, this);
        // Lets the menu close properly when the user clicks elsewhere.
        PostMessage(WM_NULL);
    }
    menu.DestroyMenu();
}

// The banner as the word feed drives it ----------------------------------------------

void CLexorinDlg::FeedAddItem(const CBannerItem& item)
{
    m_toolbar.m_banner.AddItem(item);
}

void CLexorinDlg::FeedClearBanner()
{
    m_toolbar.m_banner.RemoveAllItems();
}

void CLexorinDlg::FeedMoveLineToStart()
{
    m_toolbar.m_banner.MoveLineToStart();
}

void CLexorinDlg::FeedSetAutoSize(bool on)
{
    m_toolbar.m_banner.SetAutoSize(on);
}

void CLexorinDlg::FeedSetSpeed(int speed)
{
    m_toolbar.m_banner.SetSpeed(speed);
}

void CLexorinDlg::FeedSetBackgroundColor(uint32_t colour)
{
    m_toolbar.m_banner.SetBackgroundColor(colour);
}

void CLexorinDlg::FeedStartTimer(int periodMs)
{
    // A step a little late goes unnoticed; the feed keeps its own schedule.
    SetCoalescableTimer(kFeedTimer, static_cast<UINT>(periodMs), static_cast<ULONG>(periodMs / 10));
}

void CLexorinDlg::FeedStopTimer()
{
    KillTimer(kFeedTimer);
}

uint64_t CLexorinDlg::FeedNowMs() const
{
    // The feed makes up the steps of the time nobody saw the bar, which must not take
    // in a night asleep. The unbiased interrupt time leaves sleep and hibernation out;
    // the performance counter behind steady_clock is not documented to. Systems
    // without the call count on steady_clock, and the suspend and resume notices
    // (WM_POWERBROADCAST) take the sleep out there.
    using QueryUnbiasedInterruptTimeFn = BOOL(WINAPI*)(PULONGLONG);
    static const auto unbiased =
        lex::LookupSystemCall<QueryUnbiasedInterruptTimeFn>(L"kernel32.dll", "QueryUnbiasedInterruptTime");
    ULONGLONG ticks = 0; // 100 ns
    if (unbiased && unbiased(&ticks))
        return ticks / 10000;
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CLexorinDlg::FeedEndProgram(int exitCode)
{
    PostQuitMessage(exitCode);
}

// The about box ------------------------------------------------------------------------

void CLexorinDlg::OnAboutCommand()
{
    // The toolbar and the tray menu open one box at a time.
    if (m_context.m_bAboutBoxOpen)
        return;
    m_context.m_bAboutBoxOpen = TRUE;
    ShowAboutBox();
    m_context.m_bAboutBoxOpen = FALSE;
}

void CLexorinDlg::ShowAboutBox()
{
    CAboutDlg about(AboutBoxInfo{m_context.m_strProductName, m_context.m_strVersion, m_context.m_strProgramFolder,
                                 m_context.MessageCaption()},
                    this);
    about.DoModal();
}

void CLexorinDlg::FeedShowError(const std::string& text)
{
    // Topmost, like the bar: at start-up nothing of ours is on screen yet, and later
    // (the dictionary gone while running) the box must not hide behind the bar.
    lex::MessageBoxCp936(nullptr, text, m_context.m_strProductName,
                         MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}
