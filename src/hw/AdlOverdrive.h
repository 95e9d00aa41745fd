// The AMD display library's Overdrive fan and temperature calls as fan control makes them: each
// looks its entry point up by name when it runs, and does nothing when the library lacks it.
#pragma once
#include <windows.h>

// Thermal controller 0 of the adapter in whole degrees (thousandths truncated toward zero); false
// when the entry point is missing or the call fails.
bool AdlReadTemperature(HMODULE adl, int adapterIndex, int& degrees);

// The driver fan speed in percent: the speed information is asked first, as the driver expects, then
// the speed. A failed or missing call gives 0. Two library calls.
int AdlReadFanPercent(HMODULE adl, int adapterIndex);

// Fixed driver fan speed in percent (user-defined speed).
void AdlSetFanPercent(HMODULE adl, int adapterIndex, int percent);

// The driver's own fan control again.
void AdlSetFanDefault(HMODULE adl, int adapterIndex);

// Ends the library session opened at start-up.
void AdlDestroy(HMODULE adl);
