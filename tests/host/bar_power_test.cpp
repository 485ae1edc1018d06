// When the bar asks the banner to save power: on battery as the system reports it, or
// always when the user asked for it. A fault shows as a laptop whose banner ticks at full
// rate on battery, or a desktop whose banner judders for no reason.
#include "mainbar/bar_power.h"

#include <gtest/gtest.h>

namespace {

PowerReading g_reading;
bool g_readable = true;
bool Fake(PowerReading& reading)
{
    reading = g_reading;
    return g_readable;
}

} // namespace

TEST(BarPower, SavesOnBatteryOrWhenAskedAndKeepsTheLastAnswerWhenUnreadable)
{
    struct Case {
        uint8_t ac, battery;
        bool onBattery;
    };
    // Mains off with a battery (high, low, critical, unknown flags); mains on, charging
    // or not; unknown mains; mains "off" on a machine with no battery.
    for (const Case& c : {Case{0, 1, true}, Case{0, 2, true}, Case{0, 4, true}, Case{0, 255, true},
                          Case{1, 8, false}, Case{1, 1, false}, Case{255, 255, false}, Case{0, 128, false}}) {
        SCOPED_TRACE(testing::Message() << int(c.ac) << "/" << int(c.battery));
        EXPECT_EQ(RunsOnBattery(PowerReading{c.ac, c.battery}), c.onBattery);
    }

    CBarPower power(Fake);
    EXPECT_FALSE(power.Saving()) << "nothing read yet: full rate";
    g_readable = true;
    g_reading = PowerReading{0, 1};
    power.Refresh();
    EXPECT_TRUE(power.OnBattery());
    EXPECT_TRUE(power.Saving());
    g_readable = false;
    g_reading = PowerReading{1, 1};
    power.Refresh();
    EXPECT_TRUE(power.Saving()) << "a failed reading changes nothing";
    g_readable = true;
    power.Refresh();
    EXPECT_FALSE(power.Saving());
    power.SetAlwaysSaving(true);
    EXPECT_TRUE(power.Saving()) << "asked for on mains too";
    EXPECT_FALSE(power.OnBattery());
}
