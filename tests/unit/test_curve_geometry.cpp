// Tests of the curve plot geometry: hitting points, dragging them in order and in range, adding and
// removing them within the limits of a curve.
#include "curve/CurveGeometry.h"

#include <gtest/gtest.h>

namespace {

// The editor's plot: 6 pixels a degree from 20 °C at x 60, 3 pixels a percent from 0 % at y 376.
constexpr RECT kPlot{60, 76, 540, 376};

TEST(CurveGeometry, EditsKeepCurvesInOrderInRangeAndWithinTheirLimits) {
    const wchar_t kEight[] = L"20:0 30:10 40:20 50:30 60:40 70:50 80:60 90:70";
    const wchar_t kThree[] = L"30:30 50:40 65:60";
    const struct {
        const char* szFault;
        const wchar_t* szPoints;
        // 'h' hit at pixel (x, y); 'd' drag point n to x °C, y %; 'i' insert at x °C, y %;
        // 'm' insert MidpointAfter(n); 'r' remove point n
        char cEdit;
        size_t n;
        int x, y;
        const wchar_t* szAfter; // the points afterwards; for 'h' the index hit, or "-"
    } rows[] = {
        {"handle missed", kThree, 'h', 0, 243, 258, L"1"},
        {"first close handle taken, not the nearest", L"30:30 32:30 65:60", 'h', 0, 127, 286, L"1"},
        {"hit far from any handle", kThree, 'h', 0, 300, 150, L"-"},
        {"a point below 20 °C out of reach", L"10:30 50:40", 'h', 0, 61, 286, L"0"},
        {"dragged past its right neighbour", kThree, 'd', 1, 70, 45, L"30:30 64:45 65:60"},
        {"dragged past its left neighbour", kThree, 'd', 1, 20, 45, L"30:30 31:45 65:60"},
        {"dragged below 0 %", kThree, 'd', 1, 50, -7, L"30:30 50:0 65:60"},
        {"dragged above 100 %", kThree, 'd', 1, 50, 130, L"30:30 50:100 65:60"},
        {"first point dragged below 0 °C", kThree, 'd', 0, -15, 30, L"0:30 50:40 65:60"},
        {"last point dragged above 110 °C", kThree, 'd', 2, 140, 60, L"30:30 50:40 110:60"},
        {"insertion out of order", L"30:30 65:60", 'i', 0, 50, 70, L"30:30 50:70 65:60"},
        {"insertion beyond 110 °C", L"30:30 65:60", 'i', 0, 130, 70, L"30:30 65:60 110:70"},
        {"a ninth point", kEight, 'i', 0, 95, 70, kEight},
        {"two points at one temperature", L"30:30 65:60", 'i', 0, 65, 20, L"30:30 65:60"},
        {"midpoint off the curve", kThree, 'm', 0, 0, 0, L"30:30 40:35 50:40 65:60"},
        {"no midpoint after the last point", kThree, 'm', 2, 0, 0, L"30:30 50:40 57:49 65:60"},
        {"midpoint where there is no room", L"30:30 31:40", 'm', 0, 0, 0, L"30:30 31:40"},
        {"removal below two points", L"30:30 65:60", 'r', 0, 0, 0, L"30:30 65:60"},
        {"removal refused", kThree, 'r', 1, 0, 0, L"30:30 65:60"},
    };
    for (const auto& row : rows) {
        std::vector<CurvePoint> points = *ParseCurvePoints(row.szPoints);
        std::wstring strAfter;
        if (row.cEdit == 'h') {
            const std::optional<size_t> nHit = HitCurvePoint(kPlot, points, POINT{row.x, row.y}, 8);
            strAfter = nHit ? std::to_wstring(*nHit) : L"-";
        } else if (row.cEdit == 'd') {
            points[row.n] = ConstrainCurvePoint(points, row.n, CurvePoint{row.x, row.y});
        } else if (row.cEdit == 'i') {
            InsertCurvePoint(points, CurvePoint{row.x, row.y});
        } else if (const auto at = row.cEdit == 'm' ? MidpointAfter(points, row.n) : std::nullopt) {
            InsertCurvePoint(points, *at);
        } else if (row.cEdit == 'r') {
            RemoveCurvePoint(points, row.n);
        }
        EXPECT_EQ(strAfter.empty() ? FormatCurvePoints(points) : strAfter, row.szAfter) << row.szFault;
    }
    EXPECT_EQ(PixelToCurvePoint(kPlot, POINT{243, 258}), (CurvePoint{51, 39}))
        << "not snapped to whole units";
}

} // namespace
