// What the user is told about system-wide hotkeys that could not be registered: one line
// per combination another program holds, each told only once across starts (the
// settings file keeps which were told), and the combinations that stand twice in the
// list named as such. Portable, so the rule is tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One hotkey as the bar tried to register it.
struct HotkeyAttempt {
    std::string action;    // what the key does, "暂停/播放"
    uint16_t hotkey = 0;   // as the hotkey control stores it: key in the low byte, 0 for none
    std::string keyText;   // "Ctrl+Alt+Shift+P"
    bool registered = false;
};

struct HotkeyClashReport {
    // The combinations that could not be had, as the settings file keeps them
    // (decimal values separated by blanks); a combination that works again drops out.
    std::string told;
    // One line per combination not told before ("    Ctrl+Alt+P（暂停/播放）"); empty
    // when there is nothing new to tell.
    std::string lines;
};

// toldBefore: the settings file's list from the last start.
HotkeyClashReport ReportHotkeyClashes(const std::vector<HotkeyAttempt>& attempts, const std::string& toldBefore);

// The whole message for the report's lines.
std::string HotkeysInUseMessage(const std::string& lines);
