// CBarHotkeys: the bar's system-wide hotkeys (show or hide, pause or play, mark the
// newest entry known or not known, speak it), registered from the study page's
// settings; the speak hotkey only while the voice group's mode speaks. A
// combination another program holds is told once, in a box, after start-up or the
// settings sheet is over; the other hotkeys still work.
#pragma once

#include "settings/settings.h"

#include <windows.h>

#include <string>

class CBarHotkeys {
public:
    // The registration ids, which WM_HOTKEY carries.
    enum Action : int { kShowHide = 1, kPausePlay, kKnown, kUnknown, kSpeak, kCount = 5 };
    // Posted to the bar when there is something to tell (TakeMessage).
    static constexpr UINT kInUseMessage = WM_APP + 23;

    CBarHotkeys() = default;
    ~CBarHotkeys() { Unregister(); }
    CBarHotkeys(const CBarHotkeys&) = delete;
    CBarHotkeys& operator=(const CBarHotkeys&) = delete;

    // Registers the hotkeys of settings for bar, dropping the ones it had.
    void Register(HWND bar, const lex::CSettings& settings);
    void Unregister();
    // The message about combinations in use, once; empty when there is none.
    std::string TakeMessage();

private:
    HWND m_bar = nullptr;
    bool m_registered[kCount] = {};
    std::string m_inUseLines;
};
