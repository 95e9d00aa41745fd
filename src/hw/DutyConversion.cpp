// Percent and duty conversions. Every intermediate goes through a float in memory, so an x87 build
// rounds exactly as an SSE build does.
#include "hw/DutyConversion.h"

#include <cwchar>

int PercentToDuty(int percent) {
    volatile float fraction = static_cast<float>(percent) / 100.0f;
    volatile float duty = fraction * 255.0f;
    return static_cast<int>(duty);
}

float DutyToPercent(int duty) {
    volatile float fraction = static_cast<float>(duty) / 255.0f;
    volatile float percent = fraction * 100.0f;
    return percent;
}

std::wstring DutyPercentText(int duty) {
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%.0f", static_cast<double>(DutyToPercent(duty)));
    return text;
}

int DutySliderPosition(int duty) {
    return static_cast<int>(DutyToPercent(duty));
}
