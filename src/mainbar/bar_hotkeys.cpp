#include "mainbar/bar_hotkeys.h"
#include "base/text.h"
#include "mainbar/hotkey_clash.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

namespace {

struct HotkeyAction {
    CBarHotkeys::Action id;
    uint16_t (lex::CSettings::*get)() const;
    const char* name;
};
constexpr HotkeyAction kHotkeyActions[] = {
    {CBarHotkeys::kShowHide, &lex::CSettings::StudyHotkeyShowHide, "显示/隐藏"},
    {CBarHotkeys::kPausePlay, &lex::CSettings::StudyHotkeyPausePlay, "暂停/播放"},
    {CBarHotkeys::kKnown, &lex::CSettings::StudyHotkeyKnown, "认识了"},
    {CBarHotkeys::kUnknown, &lex::CSettings::StudyHotkeyUnknown, "不认识"},
    {CBarHotkeys::kSpeak, &lex::CSettings::StudyHotkeySpeak, "朗读"},
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

void CBarHotkeys::Unregister()
{
    for (int i = 0; i < kCount; ++i) {
        if (m_registered[i])
            UnregisterHotKey(m_bar, i + 1);
        m_registered[i] = false;
    }
}

void CBarHotkeys::Register(HWND bar, const lex::CSettings& settings)
{
    Unregister();
    m_bar = bar;
    std::vector<HotkeyAttempt> attempts;
    for (const HotkeyAction& action : kHotkeyActions) {
        HotkeyAttempt attempt;
        attempt.action = action.name;
        attempt.hotkey = (settings.*action.get)();
        // Nothing to speak with: the combination is left to other programs.
        if (action.id == kSpeak && settings.VoiceSpeakMode() == lex::CSettings::kVoiceOff)
            attempt.hotkey = 0;
        if (LOBYTE(attempt.hotkey) != 0) {
            attempt.registered = RegisterHotKey(bar, action.id, RegistrationModifiers(attempt.hotkey),
                                                LOBYTE(attempt.hotkey)) != FALSE;
            m_registered[action.id - 1] = attempt.registered;
            if (!attempt.registered)
                attempt.keyText = HotkeyText(attempt.hotkey);
        }
        attempts.push_back(attempt);
    }
    const HotkeyClashReport report = ReportHotkeyClashes(attempts, settings.StudyHotkeysToldInUse());
    // Remembered for the next start: a combination that works again drops out, so a
    // later clash is told once more.
    if (report.told != settings.StudyHotkeysToldInUse())
        lex::CSettings(settings.Path()).SetStudyHotkeysToldInUse(report.told);
    m_inUseLines = report.lines;
    if (!m_inUseLines.empty())
        PostMessageW(bar, kInUseMessage, 0, 0);
}

std::string CBarHotkeys::TakeMessage()
{
    if (m_inUseLines.empty())
        return std::string();
    const std::string text = HotkeysInUseMessage(m_inUseLines);
    m_inUseLines.clear();
    return text;
}
