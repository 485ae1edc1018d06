#include "mainbar/bar_power.h"

#include <windows.h>

bool ReadSystemPower(PowerReading& reading)
{
    SYSTEM_POWER_STATUS status = {};
    if (!::GetSystemPowerStatus(&status))
        return false;
    reading.acLineStatus = status.ACLineStatus;
    reading.batteryFlag = status.BatteryFlag;
    return true;
}
