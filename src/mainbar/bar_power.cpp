#include "mainbar/bar_power.h"

namespace {

constexpr uint8_t kAcOffline = 0;
constexpr uint8_t kNoSystemBattery = 128;

} // namespace

bool RunsOnBattery(const PowerReading& reading)
{
    return reading.acLineStatus == kAcOffline && reading.batteryFlag != kNoSystemBattery;
}

void CBarPower::Refresh()
{
    PowerReading reading;
    if (m_source && m_source(reading))
        m_onBattery = RunsOnBattery(reading);
}
