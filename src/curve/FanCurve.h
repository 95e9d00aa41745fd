// A fan set's temperature curve: its points, hysteresis and spin-down delay, their text form and
// the percentage the curve asks for at a temperature.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CurvePoint {
    int m_nDegrees; // °C
    int m_nPercent;
    bool operator==(const CurvePoint&) const = default;
};

struct FanCurve {
    std::vector<CurvePoint> m_points;
    int m_nHysteresis = 3;    // °C the temperature must fall before the fans slow down
    int m_nDelaySeconds = 10; // how long it must stay that low first
    bool operator==(const FanCurve&) const = default;
};

// Limits of a curve: points, their ranges, hysteresis and delay.
constexpr int kCurveMinPoints = 2;
constexpr int kCurveMaxPoints = 8;
constexpr int kCurveMaxDegrees = 110;
constexpr int kCurveMaxHysteresis = 20;
constexpr int kCurveMaxDelaySeconds = 600;

// The outer fans follow the GPU temperature, the middle fan the PWM module temperature.
FanCurve DefaultOuterCurve();
FanCurve DefaultMiddleCurve();

// 2 to 8 points, temperatures strictly ascending in 0..110, percentages in 0..100.
bool IsValidCurve(const std::vector<CurvePoint>& points);

// "T:P" pairs separated by single spaces, e.g. "40:30 60:50 75:80"; numbers are plain decimal
// digits without a leading zero. Nothing for any other text or for points IsValidCurve refuses.
std::optional<std::vector<CurvePoint>> ParseCurvePoints(const std::wstring& strText);
std::wstring FormatCurvePoints(const std::vector<CurvePoint>& points);

// The percentage at nDegrees: linear between the points, the end values beyond the ends, rounded
// to the nearest whole percent and held to nMinimumPercent..100. Full speed for no points.
int CurveTarget(const std::vector<CurvePoint>& points, int nDegrees, int nMinimumPercent);
