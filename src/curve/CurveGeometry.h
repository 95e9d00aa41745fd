// Geometry of the curve plot: temperatures and percentages to pixels and back, hitting a point
// with the mouse, and the rules for moving, adding and removing points.
#pragma once

#include "curve/FanCurve.h"

#include <windows.h>

#include <optional>
#include <vector>

// The plot shows these temperatures from its left edge to its right edge, 0 % at its bottom edge
// and 100 % at its top edge.
constexpr int kPlotMinDegrees = 20;
constexpr int kPlotMaxDegrees = 100;

// x and y of a temperature and a percentage, unlimited: lines beyond the plot are clipped later.
double DegreesToX(const RECT& rcPlot, double degrees);
double PercentToY(const RECT& rcPlot, double percent);

// Where a point's handle is drawn: temperatures outside the plot's range sit on its nearest edge.
POINT CurveHandlePixel(const RECT& rcPlot, CurvePoint point);

// The whole temperature and percentage nearest to a pixel, not limited to any range.
CurvePoint PixelToCurvePoint(const RECT& rcPlot, POINT pixel);

// The point whose handle is nearest to pixel, if one lies within nRadius pixels.
std::optional<size_t> HitCurvePoint(const RECT& rcPlot, const std::vector<CurvePoint>& points, POINT pixel,
                                    int nRadius);

// Where point nIndex may go nearest to wanted: 0..100 %, and a temperature within 0..110 °C at least
// 1 °C above the previous point and below the next one.
CurvePoint ConstrainCurvePoint(const std::vector<CurvePoint>& points, size_t nIndex, CurvePoint wanted);

// Adds a point at at (held to 0..110 °C and 0..100 %) in temperature order and gives its index;
// nothing when the curve is full or a point has that temperature already.
std::optional<size_t> InsertCurvePoint(std::vector<CurvePoint>& points, CurvePoint at);

// A point halfway between point nIndex and its right neighbour (its left one for the last point),
// on the curve; nothing when the two are less than 2 °C apart.
std::optional<CurvePoint> MidpointAfter(const std::vector<CurvePoint>& points, size_t nIndex);

// Removes point nIndex unless the curve would keep fewer than 2 points; false when nothing went.
bool RemoveCurvePoint(std::vector<CurvePoint>& points, size_t nIndex);
