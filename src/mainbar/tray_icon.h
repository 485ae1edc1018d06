// CTrayIcon: the bar's icon in the notification area. It owns the icon record and the
// shown and hidden pictures at the bar's DPI, adds the icon again when the taskbar
// restarts (the shell then has forgotten every icon), and tells a warning in a balloon.
#pragma once

#include "framework/gdi.h"
#include "resources/resource.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

class CTrayIcon {
public:
    // The callback message the icon sends to the bar, and its id.
    static constexpr UINT kMessage = WM_USER + 5;
    static constexpr UINT kId = 103;

    CTrayIcon() = default;
    ~CTrayIcon() { Remove(); }
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // The shown and hidden pictures for dpi; an icon already in the tray changes at once.
    void LoadIcons(int dpi);
    // Adds the icon for owner, in the shown state, with the tip text.
    void Add(HWND owner, const std::string& tip);
    void Remove();
    // The icon for the bar shown (IDI_TRAY_SHOWN, tip "显示") or hidden (IDI_TRAY_HIDDEN, "隐藏").
    void SetShown(bool shown);
    // A warning balloon: title, then the text, then tail, which loses its beginning
    // when the balloon cannot hold all of it (a path, whose end says most).
    void ShowWarning(const std::string& title, const std::string& text, const std::string& tail);
    // True when msg is the shell's "TaskbarCreated": the icon has been added again.
    bool OnTaskbarCreated(UINT msg);

    const NOTIFYICONDATAW& Data() const { return m_data; }
    // The picture for IDI_TRAY_SHOWN or IDI_TRAY_HIDDEN at the loaded DPI.
    HICON IconFor(UINT iconId) const
    {
        return (iconId == IDI_TRAY_HIDDEN ? m_hidden : m_shown).GetSafeHandle();
    }

private:
    void SetTip(const std::string& tip);

    NOTIFYICONDATAW m_data = {};
    lex::CIcon m_shown;
    lex::CIcon m_hidden;
    UINT m_iconId = 0; // the picture on show; 0 until the icon is added
    bool m_added = false; // Add was called and Remove not yet
};
