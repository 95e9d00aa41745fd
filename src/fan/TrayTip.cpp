// The tray icon's tip text.
#include "fan/TrayTip.h"

#include <vector>

namespace {
const wchar_t kProduct[] = L"Ventiq";
const wchar_t kUnguardedProduct[] = L"Ventiq (unguarded)";

std::wstring Degrees(const wchar_t* name, int degrees) {
    return std::wstring(name) + L" " + std::to_wstring(degrees) + L" \u00B0C";
}

std::wstring Percent(int percent) {
    return std::to_wstring(percent) + L" %";
}
} // namespace

std::wstring TrayTipText(const CardReadings& readings, bool unguarded, std::size_t capacity) {
    std::vector<std::wstring> parts;
    if (readings.m_nGpuDegrees) {
        parts.push_back(Degrees(L"GPU", *readings.m_nGpuDegrees));
    }
    if (readings.m_nPwmDegrees) {
        parts.push_back(Degrees(L"PWM", *readings.m_nPwmDegrees));
    }
    // Outer fans first, as on the card; the middle fan alone is named, so it is not taken for them.
    if (readings.m_nOuterPercent && readings.m_nMiddlePercent) {
        parts.push_back(L"fans " + Percent(*readings.m_nOuterPercent) + L" / " +
                        Percent(*readings.m_nMiddlePercent));
    } else if (readings.m_nOuterPercent) {
        parts.push_back(L"fans " + Percent(*readings.m_nOuterPercent));
    } else if (readings.m_nMiddlePercent) {
        parts.push_back(L"middle fan " + Percent(*readings.m_nMiddlePercent));
    }
    std::wstring text = unguarded ? kUnguardedProduct : kProduct;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::wstring next = text + (i == 0 ? L" - " : L", ") + parts[i];
        if (next.size() > capacity) {
            break;
        }
        text = next;
    }
    return text;
}
