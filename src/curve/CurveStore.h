// The fan curves of both sets as each user keeps them in the registry.
#pragma once

#include "app/Registry.h"
#include "curve/FanCurve.h"

struct CurveSet {
    FanCurve m_outer;
    FanCurve m_middle;
    bool operator==(const CurveSet&) const = default;
};

// Both sets' default curves.
CurveSet DefaultCurves();

// Reads the six values below HKEY_CURRENT_USER\strKey. Each value that is missing, of another type
// or size, or out of range gives its own default: a set's default points, hysteresis or delay.
CurveSet LoadCurves(const std::wstring& strKey = kUserSettingsKey);

// Writes the six values; false when any of them could not be written.
bool SaveCurves(const CurveSet& curves, const std::wstring& strKey = kUserSettingsKey);
