#include "options/banner_page_values.h"

namespace lex {

namespace {

using FlagSetter = bool (CSettings::*)(bool);

// The style keys' setters, in the page's order.
constexpr FlagSetter kStyleSetters[kBannerStyleCount] = {
    &CSettings::SetBannerWordI,     &CSettings::SetBannerWordB,     &CSettings::SetBannerWordU,
    &CSettings::SetBannerPhoneticI, &CSettings::SetBannerPhoneticB, &CSettings::SetBannerPhoneticU,
    &CSettings::SetBannerDescI,     &CSettings::SetBannerDescB,     &CSettings::SetBannerDescU,
};

} // namespace

BannerPageValues ReadBannerPageValues(const CSettings& settings)
{
    BannerPageValues v;
    v.bkColor = settings.BannerBKColor();
    v.autoSize = settings.BannerAutoSize() ? 1 : 0;
    v.scroll = settings.BannerScroll() ? 1 : 0;
    v.speed = settings.BannerScrollSpeed();
    const bool styles[kBannerStyleCount] = {
        settings.BannerWordI(),     settings.BannerWordB(),     settings.BannerWordU(),
        settings.BannerPhoneticI(), settings.BannerPhoneticB(), settings.BannerPhoneticU(),
        settings.BannerDescI(),     settings.BannerDescB(),     settings.BannerDescU()};
    for (int i = 0; i < kBannerStyleCount; ++i)
        v.styles[i] = styles[i] ? 1 : 0;
    v.wordColor = settings.BannerWordColor();
    v.phoneticColor = settings.BannerPhoneticColor();
    v.descColor = settings.BannerDescColor();
    v.powerSaving = settings.BannerPowerSaving() ? 1 : 0;
    return v;
}

int WriteChangedBannerKeys(CSettings& settings, const BannerPageValues& start, const BannerPageValues& now)
{
    int written = 0;
    auto flag = [&](int before, int after, FlagSetter set) {
        if (before != after) {
            (settings.*set)(after != 0);
            ++written;
        }
    };
    auto color = [&](uint32_t before, uint32_t after, bool (CSettings::*set)(uint32_t)) {
        if (before != after) {
            (settings.*set)(after);
            ++written;
        }
    };
    flag(start.autoSize, now.autoSize, &CSettings::SetBannerAutoSize);
    flag(start.scroll, now.scroll, &CSettings::SetBannerScroll);
    color(start.bkColor, now.bkColor, &CSettings::SetBannerBKColor);
    if (start.speed != now.speed) {
        settings.SetBannerScrollSpeed(now.speed);
        ++written;
    }
    for (int i = 0; i < kBannerStyleCount; ++i)
        flag(start.styles[i], now.styles[i], kStyleSetters[i]);
    color(start.wordColor, now.wordColor, &CSettings::SetBannerWordColor);
    color(start.phoneticColor, now.phoneticColor, &CSettings::SetBannerPhoneticColor);
    color(start.descColor, now.descColor, &CSettings::SetBannerDescColor);
    flag(start.powerSaving, now.powerSaving, &CSettings::SetBannerPowerSaving);
    return written;
}

} // namespace lex
