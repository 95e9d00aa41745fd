// The AMD display library's Overdrive fan and temperature calls as fan control makes them: each
// looks its entry point up by name when it runs, and fails when the library lacks it.
#pragma once
#include <windows.h>

#include <optional>

// Thermal controller 0 of the adapter in whole degrees (thousandths truncated toward zero); false
// when the entry point is missing or the call fails.
bool AdlReadTemperature(HMODULE adl, int adapterIndex, int& degrees);

// The adapter's fans as the driver reports them.
struct AdlFanReading {
    int m_nPercent = 0;
    // The driver says a user-defined speed is set; drivers that report no mode leave it false.
    bool m_bUserDefined = false;
};

// The driver fan speed: the speed information is asked first, as the driver expects, then the speed.
// Nothing when the speed call is missing or fails. Two library calls.
std::optional<AdlFanReading> AdlReadFan(HMODULE adl, int adapterIndex);

// Fixed driver fan speed in percent (user-defined speed); false when the driver refuses it.
bool AdlSetFanPercent(HMODULE adl, int adapterIndex, int percent);

// The driver's own fan control again; false when the driver refuses it.
bool AdlSetFanDefault(HMODULE adl, int adapterIndex);

// Ends the library session opened at start-up.
void AdlDestroy(HMODULE adl);
