// Curve plot geometry and the editing rules of the points.
#include "curve/CurveGeometry.h"

#include <algorithm>
#include <cmath>

double DegreesToX(const RECT& rcPlot, double degrees) {
    return rcPlot.left +
           (degrees - kPlotMinDegrees) * (rcPlot.right - rcPlot.left) / (kPlotMaxDegrees - kPlotMinDegrees);
}

double PercentToY(const RECT& rcPlot, double percent) {
    return rcPlot.bottom - percent * (rcPlot.bottom - rcPlot.top) / 100.0;
}

POINT CurveHandlePixel(const RECT& rcPlot, CurvePoint point) {
    const int nDegrees = std::clamp(point.m_nDegrees, kPlotMinDegrees, kPlotMaxDegrees);
    return POINT{std::lround(DegreesToX(rcPlot, nDegrees)),
                 std::lround(PercentToY(rcPlot, point.m_nPercent))};
}

CurvePoint PixelToCurvePoint(const RECT& rcPlot, POINT pixel) {
    const double degrees = kPlotMinDegrees + static_cast<double>(pixel.x - rcPlot.left) *
                                                 (kPlotMaxDegrees - kPlotMinDegrees) /
                                                 std::max<LONG>(1, rcPlot.right - rcPlot.left);
    const double percent =
        static_cast<double>(rcPlot.bottom - pixel.y) * 100.0 / std::max<LONG>(1, rcPlot.bottom - rcPlot.top);
    return CurvePoint{static_cast<int>(std::lround(degrees)), static_cast<int>(std::lround(percent))};
}

std::optional<size_t> HitCurvePoint(const RECT& rcPlot, const std::vector<CurvePoint>& points, POINT pixel,
                                    int nRadius) {
    std::optional<size_t> nHit;
    long nBest = static_cast<long>(nRadius) * nRadius;
    for (size_t i = 0; i < points.size(); ++i) {
        const POINT handle = CurveHandlePixel(rcPlot, points[i]);
        const long nDistance =
            (handle.x - pixel.x) * (handle.x - pixel.x) + (handle.y - pixel.y) * (handle.y - pixel.y);
        if (nDistance <= nBest) {
            nBest = nDistance;
            nHit = i;
        }
    }
    return nHit;
}

CurvePoint ConstrainCurvePoint(const std::vector<CurvePoint>& points, size_t nIndex, CurvePoint wanted) {
    const int nLow = nIndex > 0 ? points[nIndex - 1].m_nDegrees + 1 : 0;
    const int nHigh = nIndex + 1 < points.size() ? points[nIndex + 1].m_nDegrees - 1 : kCurveMaxDegrees;
    return CurvePoint{std::clamp(wanted.m_nDegrees, nLow, nHigh), std::clamp(wanted.m_nPercent, 0, 100)};
}

std::optional<size_t> InsertCurvePoint(std::vector<CurvePoint>& points, CurvePoint at) {
    const CurvePoint point{std::clamp(at.m_nDegrees, 0, kCurveMaxDegrees), std::clamp(at.m_nPercent, 0, 100)};
    const auto place = std::find_if(points.begin(), points.end(), [&point](const CurvePoint& other) {
        return other.m_nDegrees >= point.m_nDegrees;
    });
    if (points.size() >= kCurveMaxPoints ||
        (place != points.end() && place->m_nDegrees == point.m_nDegrees)) {
        return std::nullopt;
    }
    return static_cast<size_t>(points.insert(place, point) - points.begin());
}

std::optional<CurvePoint> MidpointAfter(const std::vector<CurvePoint>& points, size_t nIndex) {
    if (points.size() < 2 || nIndex >= points.size()) {
        return std::nullopt;
    }
    const size_t nLeft = nIndex + 1 < points.size() ? nIndex : nIndex - 1;
    const int nLow = points[nLeft].m_nDegrees;
    const int nHigh = points[nLeft + 1].m_nDegrees;
    if (nHigh - nLow < 2) {
        return std::nullopt;
    }
    const int nDegrees = (nLow + nHigh) / 2;
    return CurvePoint{nDegrees, CurveTarget(points, nDegrees, 0)};
}

bool RemoveCurvePoint(std::vector<CurvePoint>& points, size_t nIndex) {
    if (points.size() <= kCurveMinPoints || nIndex >= points.size()) {
        return false;
    }
    points.erase(points.begin() + static_cast<std::ptrdiff_t>(nIndex));
    return true;
}
