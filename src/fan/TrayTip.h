// The tray icon's tip: the product name and the latest readings, for a user whose window is hidden.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

// One tick's readings of the first card; what the tick could not read stays empty.
struct CardReadings {
    std::optional<int> m_nGpuDegrees;
    std::optional<int> m_nPwmDegrees;
    std::optional<int> m_nOuterPercent;
    std::optional<int> m_nMiddlePercent;
};

// "Ventiq - GPU 56 °C, PWM 58 °C, fans 39 % / 34 %" with only the readings there are; a part that
// would not fit in `capacity` characters is left out with those after it. While fans the program has
// taken have no guardian, the name says so: "Ventiq (unguarded) - ...".
std::wstring TrayTipText(const CardReadings& readings, bool unguarded, std::size_t capacity);
