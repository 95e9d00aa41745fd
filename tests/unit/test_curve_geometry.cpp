// Tests of the curve plot geometry: hitting points, dragging them in order and in range, adding and
// removing them within the limits of a curve.
#include "curve/CurveGeometry.h"

#include <gtest/gtest.h>

namespace {

// The editor's plot: 6 pixels a degree from 20 °C at x 60, 3 pixels a percent from 0 % at y 376.
constexpr RECT kPlot{60, 76, 540, 376};

std::vector<CurvePoint> Points(const wchar_t* szText) {
    return *ParseCurvePoints(szText);
}

TEST(CurveGeometry, PixelsFindTheNearestHandle) {
    const struct {
        const char* szFault;
        const wchar_t* szPoints;
        POINT pixel;
        std::optional<size_t> nHit;
    } rows[] = {
        {"handle missed", L"30:30 50:40 65:60", {243, 258}, 1},
        {"first close one taken, not the nearest", L"30:30 32:30 65:60", {127, 286}, 1},
        {"hit far from any handle", L"30:30 50:40 65:60", {300, 150}, std::nullopt},
        {"a point below 20 °C cannot be reached", L"10:30 50:40", {61, 286}, 0},
        {"a point above 100 °C cannot be reached", L"50:40 110:100", {538, 78}, 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(HitCurvePoint(kPlot, Points(row.szPoints), row.pixel, 8), row.nHit) << row.szFault;
    }
    EXPECT_EQ(PixelToCurvePoint(kPlot, POINT{243, 258}), (CurvePoint{51, 39}))
        << "not snapped to whole units";
}

TEST(CurveGeometry, DraggedPointsStayInOrderAndInRange) {
    const std::vector<CurvePoint> points = Points(L"30:30 50:40 65:60");
    const struct {
        const char* szFault;
        size_t nIndex;
        CurvePoint wanted;
        CurvePoint kept;
    } rows[] = {
        {"free move refused", 1, {55, 45}, {55, 45}},
        {"passes its right neighbour", 1, {70, 45}, {64, 45}},
        {"passes its left neighbour", 1, {20, 45}, {31, 45}},
        {"below 0 %", 1, {50, -7}, {50, 0}},
        {"above 100 %", 1, {50, 130}, {50, 100}},
        {"first point below 0 °C", 0, {-15, 30}, {0, 30}},
        {"last point above 110 °C", 2, {140, 60}, {110, 60}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ConstrainCurvePoint(points, row.nIndex, row.wanted), row.kept) << row.szFault;
    }
}

TEST(CurveGeometry, PointsComeAndGoWithinTheLimits) {
    const wchar_t kEight[] = L"20:0 30:10 40:20 50:30 60:40 70:50 80:60 90:70";
    const struct {
        const char* szFault;
        const wchar_t* szPoints;
        char cEdit; // 'i' insert at point, 'm' insert MidpointAfter(nIndex), 'r' remove nIndex
        CurvePoint point;
        size_t nIndex;
        const wchar_t* szAfter;
    } rows[] = {
        {"insertion out of order", L"30:30 65:60", 'i', {50, 70}, 0, L"30:30 50:70 65:60"},
        {"insertion beyond 110 °C", L"30:30 65:60", 'i', {130, 70}, 0, L"30:30 65:60 110:70"},
        {"a ninth point", kEight, 'i', {95, 70}, 0, kEight},
        {"two points at one temperature", L"30:30 65:60", 'i', {65, 20}, 0, L"30:30 65:60"},
        {"midpoint off the curve", L"30:30 50:40 65:60", 'm', {}, 0, L"30:30 40:35 50:40 65:60"},
        {"no midpoint after the last point", L"30:30 50:40 65:60", 'm', {}, 2, L"30:30 50:40 57:49 65:60"},
        {"midpoint where there is no room", L"30:30 31:40", 'm', {}, 0, L"30:30 31:40"},
        {"removal below two points", L"30:30 65:60", 'r', {}, 0, L"30:30 65:60"},
        {"removal refused", L"30:30 50:40 65:60", 'r', {}, 1, L"30:30 65:60"},
    };
    for (const auto& row : rows) {
        std::vector<CurvePoint> points = Points(row.szPoints);
        if (row.cEdit == 'r') {
            RemoveCurvePoint(points, row.nIndex);
        } else if (const auto at = row.cEdit == 'i' ? row.point : MidpointAfter(points, row.nIndex)) {
            InsertCurvePoint(points, *at);
        }
        EXPECT_EQ(FormatCurvePoints(points), row.szAfter) << row.szFault;
    }
}

} // namespace
