// The seventeen "Banner" keys as the banner page holds them: read once when the page
// starts, compared with the page's values at OK, and only the changed ones written.
#pragma once

#include "settings/settings.h"

#include <cstdint>

namespace lex {

// Italic, bold and underline for each of the three rows (word, phonetic, meaning).
constexpr int kBannerStyleCount = 9;

struct BannerPageValues {
    int autoSize = 1;
    int scroll = 1;
    uint32_t bkColor = 0;
    int speed = 2;
    // Italic, bold, underline for the word, phonetic and meaning rows, in that order.
    int styles[kBannerStyleCount] = {};
    uint32_t wordColor = 0;
    uint32_t phoneticColor = 0;
    uint32_t descColor = 0;
    int powerSaving = 0;
};

// The stored values (with the settings file's defaults for missing keys).
BannerPageValues ReadBannerPageValues(const CSettings& settings);

// Writes each key whose value in `now` differs from `start`, in the order auto size,
// scroll, background, speed, the nine styles, word, phonetic and meaning colour, power
// saving.
// Returns how many keys were written.
int WriteChangedBannerKeys(CSettings& settings, const BannerPageValues& start, const BannerPageValues& now);

} // namespace lex
