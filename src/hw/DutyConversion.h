// Conversions between a fan percentage and the fan controller chip's duty byte, in single precision.
#pragma once
#include <string>

// floor(percent x 255 / 100) computed as the chip's tables were: percent / 100 and then x 255, each
// rounded to single precision, then truncated. 30 gives 76, 100 gives 255, 150 gives 382; only the
// low 8 bits reach the register.
int PercentToDuty(int percent);

// duty / 255 and then x 100, each rounded to single precision: 76 gives 29.8039.
float DutyToPercent(int duty);

// The percentage of a duty as the readouts show it ("%.0f"): 76 gives "30".
std::wstring DutyPercentText(int duty);

// The percentage of a duty as a slider position (truncated): 76 gives 29.
int DutySliderPosition(int duty);
