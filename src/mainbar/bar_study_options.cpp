// The main bar's study options: the strip held still while the pointer rests on it,
// meanings masked until the pointer rests on their entry (recall mode), the feed held
// while the bar is hidden, and the system-wide hotkeys.
#include "mainbar/lexorin_dlg.h"
#include "base/text.h"
#include "framework/app.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <climits>
#include <cstdio>

namespace {

struct HotkeyAction {
    int id;
    uint16_t (lex::CSettings::*get)() const;
    const char* name;
};
constexpr HotkeyAction kHotkeyActions[] = {
    {CLexorinDlg::kHotkeyShowHide, &lex::CSettings::StudyHotkeyShowHide, "显示/隐藏"},
    {CLexorinDlg::kHotkeyPausePlay, &lex::CSettings::StudyHotkeyPausePlay, "暂停/播放"},
    {CLexorinDlg::kHotkeyKnown, &lex::CSettings::StudyHotkeyKnown, "认识了"},
    {CLexorinDlg::kHotkeyUnknown, &lex::CSettings::StudyHotkeyUnknown, "不认识"},
};

// The hotkey control's modifier flags as RegisterHotKey wants them.
UINT RegistrationModifiers(uint16_t hotkey)
{
    const BYTE flags = HIBYTE(hotkey);
    return ((flags & HOTKEYF_CONTROL) ? MOD_CONTROL : 0) | ((flags & HOTKEYF_ALT) ? MOD_ALT : 0) |
           ((flags & HOTKEYF_SHIFT) ? MOD_SHIFT : 0);
}

// "Ctrl+Alt+Shift+L", as the user would press it.
std::string HotkeyText(uint16_t hotkey)
{
    const BYTE flags = HIBYTE(hotkey);
    const UINT vk = LOBYTE(hotkey);
    std::string text;
    if (flags & HOTKEYF_CONTROL)
        text += "Ctrl+";
    if (flags & HOTKEYF_ALT)
        text += "Alt+";
    if (flags & HOTKEYF_SHIFT)
        text += "Shift+";
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return text + static_cast<char>(vk);
    if (vk >= VK_F1 && vk <= VK_F24)
        return text + "F" + std::to_string(vk - VK_F1 + 1);
    LONG scan = static_cast<LONG>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    if (flags & HOTKEYF_EXT)
        scan |= 1L << 24;
    wchar_t name[64] = {};
    if (GetKeyNameTextW(scan, name, 64) > 0)
        return text + lex::Narrow(name);
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", vk);
    return text + code;
}

} // namespace

void CLexorinDlg::ApplyStudyOptions()
{
    const lex::CSettings settings = AppSettings().ReadOnce();
    m_hoverPause = settings.StudyHoverPause();
    m_pauseWhileHidden = settings.StudyPauseWhileHidden();
    CBannerCtrl& banner = m_toolbar.m_banner;
    banner.SetPointerListener(this);
    banner.SetHoldOnHover(m_hoverPause);
    m_feed.SetHold(CWordFeed::kHoldPointer, m_hoverPause && banner.IsPointerResting());
    const bool recall = settings.StudyRecallMode();
    if (m_feed.IsRecallMode() && !recall)
        banner.RevealItems(0, INT_MAX); // the meanings masked so far show again
    m_feed.SetRecallMode(recall);
    OnShownOrHidden();
    RegisterHotkeys(settings);
}

void CLexorinDlg::BannerPointerChanged(bool inside, int item)
{
    m_feed.SetHold(CWordFeed::kHoldPointer, inside && m_hoverPause);
    if (!m_feed.IsRecallMode())
        return;
    int first = 0, count = 0;
    if (!inside || !m_feed.EntryItems(item, &first, &count))
        first = count = 0;
    m_toolbar.m_banner.RevealItems(first, count);
}

void CLexorinDlg::OnShownOrHidden()
{
    // Off, a hidden bar's feed goes on advancing, as it always has.
    m_feed.SetHold(CWordFeed::kHoldHidden, m_pauseWhileHidden && !IsWindowVisible());
}

void CLexorinDlg::UnregisterHotkeys()
{
    for (int i = 0; i < kHotkeyCount; ++i) {
        if (m_hotkeyRegistered[i])
            UnregisterHotKey(m_hWnd, i + 1);
        m_hotkeyRegistered[i] = false;
    }
}

void CLexorinDlg::RegisterHotkeys(const lex::CSettings& settings)
{
    UnregisterHotkeys();
    std::string inUse, told;
    const std::string toldBefore = " " + settings.StudyHotkeysToldInUse() + " ";
    for (const HotkeyAction& action : kHotkeyActions) {
        const uint16_t hotkey = (settings.*action.get)();
        if (LOBYTE(hotkey) == 0)
            continue;
        bool& registered = m_hotkeyRegistered[action.id - 1];
        registered = RegisterHotKey(m_hWnd, action.id, RegistrationModifiers(hotkey), LOBYTE(hotkey)) != FALSE;
        if (registered)
            continue;
        const std::string word = std::to_string(hotkey);
        told += (told.empty() ? "" : " ") + word;
        if (toldBefore.find(" " + word + " ") != std::string::npos)
            continue; // the user knows already
        std::string line = "    " + HotkeyText(hotkey) + "（" + action.name + "）";
        for (const HotkeyAction& earlier : kHotkeyActions) {
            if (earlier.id < action.id && (settings.*earlier.get)() == hotkey) {
                line += "：与“" + std::string(earlier.name) + "”相同";
                break;
            }
        }
        inUse += line + "\r\n";
    }
    // Remembered for the next start: a combination that works again drops out, so a
    // later clash is told once more.
    if (told != settings.StudyHotkeysToldInUse())
        lex::CSettings(settings.Path()).SetStudyHotkeysToldInUse(told);
    m_hotkeysInUseText = inUse;
    if (!inUse.empty())
        PostMessage(kHotkeysInUseMessage);
}

void CLexorinDlg::TellHotkeysInUse()
{
    if (m_hotkeysInUseText.empty())
        return;
    const std::string text = "下面的快捷键已被其他程序占用，本程序无法使用：\r\n\r\n" + m_hotkeysInUseText +
                             "\r\n其余快捷键照常可用。可以在“设置...”里“学习设置”下的“复习”页换一个组合，"
                             "或关闭占用它的程序后重新启动本程序。\r\n同一个组合只提示这一次。";
    m_hotkeysInUseText.clear();
    lex::MessageBoxCp936(m_hWnd, text, m_context.m_strProductName, MB_OK | MB_ICONWARNING | MB_TOPMOST);
}

void CLexorinDlg::OnHotKey(int id)
{
    switch (id) {
    case kHotkeyShowHide:
        ToggleBar();
        break;
    case kHotkeyPausePlay:
        m_feed.PausePlay();
        break;
    case kHotkeyKnown:
        OnStudyCommand(ID_STUDY_KNOWN);
        break;
    case kHotkeyUnknown:
        OnStudyCommand(ID_STUDY_UNKNOWN);
        break;
    default:
        break;
    }
}
