// CBarPower: whether the banner should scroll with half the ticks. It does when the
// machine runs from its battery, or always when the user asked for it. The bar reads
// the power source at start-up and again whenever the system says it changed
// (WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE), and passes the answer to the banner.
#pragma once

#include <cstdint>

// The power source as the system reports it: SYSTEM_POWER_STATUS's ACLineStatus
// (0 off, 1 on, 255 unknown) and BatteryFlag (128: no system battery, 255 unknown).
struct PowerReading {
    uint8_t acLineStatus = 255;
    uint8_t batteryFlag = 255;
};

// The mains are reported off and there is a battery to run from. Unknown counts as
// mains: a desktop that cannot tell keeps the smoother scrolling.
bool RunsOnBattery(const PowerReading& reading);

// Reads the system's power status (Windows); false if the system cannot tell.
bool ReadSystemPower(PowerReading& reading);

class CBarPower {
public:
    using Source = bool (*)(PowerReading&);

    explicit CBarPower(Source source) : m_source(source) {}

    // Where readings come from (the system, or a test's fake).
    void SetSource(Source source) { m_source = source; }
    // The "BannerPowerSaving" option: save power on mains as well.
    void SetAlwaysSaving(bool on) { m_always = on; }
    // Reads the power source again; a reading that fails leaves the last answer.
    void Refresh();

    bool OnBattery() const { return m_onBattery; }
    bool Saving() const { return m_always || m_onBattery; }

private:
    Source m_source;
    bool m_always = false;
    bool m_onBattery = false;
};
