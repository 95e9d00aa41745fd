// CCurvePlot painting: the whole plot drawn into its off-screen picture, then copied in one piece.
#include "ui/CurvePlot.h"

#include "curve/CurveGeometry.h"
#include "ui/CurveColours.h"

#include <algorithm>
#include <string>

namespace {
const wchar_t* const kSetNames[kCurveSetCount] = {L"Fan1 & Fan3", L"Fan2"};
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrid = RGB(44, 47, 52);
constexpr COLORREF kWellTop = RGB(14, 15, 17);
constexpr COLORREF kWellBottom = RGB(24, 25, 28);

std::wstring ValueText(std::optional<int> nDegrees, std::optional<int> nPercent) {
    const std::wstring strDegrees = nDegrees ? std::to_wstring(*nDegrees) : L"--";
    const std::wstring strPercent = nPercent ? std::to_wstring(*nPercent) : L"--";
    return strDegrees + L"\u00b0C  " + strPercent + L"%";
}
} // namespace

RECT CCurvePlot::LinesClip() const {
    // A line along an edge of the plot (0 %, 100 %) shows whole; the well around the plot has room.
    RECT rc = m_rcPlot;
    ::InflateRect(&rc, 2, 2);
    return rc;
}

void CCurvePlot::Draw() {
    m_canvas.ResetClip();
    DrawFrame();
    const int nOther = kCurveSetCount - 1 - m_nSet;
    DrawHistory(m_sets[nOther], kCurveSetColours[nOther]);
    DrawHistory(m_sets[m_nSet], kCurveSetColours[m_nSet]);
    DrawCurve(m_sets[nOther], kCurveSetColours[nOther], false);
    DrawCurve(m_sets[m_nSet], kCurveSetColours[m_nSet], true);
    // The live points: where each set runs now.
    for (const int nSet : {nOther, m_nSet}) {
        const CurveSample latest = m_sets[nSet].m_history.Latest();
        if (latest.m_nDegrees && latest.m_nPercent) {
            const POINT at = CurveHandlePixel(m_rcPlot, CurvePoint{*latest.m_nDegrees, *latest.m_nPercent});
            // A hollow ring round a white dot, unlike the filled handles of the points.
            m_canvas.Disc(at.x, at.y, 11, kCurveSetColours[nSet], 40);
            m_canvas.Disc(at.x, at.y, 6.5, kCurveSetColours[nSet]);
            m_canvas.Disc(at.x, at.y, 4.8, kCurveWell);
            m_canvas.Disc(at.x, at.y, 2.6, kWhite);
        }
    }
    DrawLegend();
    DrawSelectedTag();
}

void CCurvePlot::DrawFrame() {
    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    m_canvas.Fill(rcClient, kCurveBody);
    const bool bFocus = ::GetFocus() == m_hWnd;
    const RECT& rc = m_rcPlot;
    m_canvas.RoundRect(rc.left - 4, rc.top - 4, rc.right + 4, rc.bottom + 4, 6,
                       bFocus ? MixColour(kCurveFocus, kCurveRecessRim, 0.35) : kCurveRecessRim);
    m_canvas.RoundRect(rc.left - 3, rc.top - 3, rc.right + 3, rc.bottom + 3, 5, kCurveWell);
    m_canvas.FillDown(rc, kWellTop, kWellBottom);

    // Below a set's minimum the curve is not followed: its fans never run slower than that. The
    // floor is darkened and hatched, and each set's minimum marked with a dashed line in its colour.
    for (int nSet = 0; nSet < kCurveSetCount; ++nSet) {
        const int y = static_cast<int>(PercentToY(rc, m_sets[nSet].m_nMinimum));
        m_canvas.Fill(RECT{rc.left, y, rc.right, rc.bottom}, RGB(0, 0, 0), 50);
    }
    const int nFloor = static_cast<int>(PercentToY(rc, std::max(m_sets[0].m_nMinimum, m_sets[1].m_nMinimum)));
    m_canvas.SetClip(RECT{rc.left, nFloor, rc.right, rc.bottom});
    for (int x = rc.left - (rc.bottom - rc.top); x < rc.right; x += 9) {
        m_canvas.Line(x, rc.bottom, x + (rc.bottom - nFloor) + 2, nFloor - 2, 1, kCurveRecessRim, 60);
    }
    m_canvas.ResetClip();
    for (const int nSet : {kCurveSetCount - 1 - m_nSet, m_nSet}) {
        const int y = static_cast<int>(PercentToY(rc, m_sets[nSet].m_nMinimum));
        for (int x = rc.left + (nSet == m_nSet ? 0 : 4); x < rc.right; x += 8) {
            m_canvas.Fill(RECT{x, y, x + 4, y + 1}, kCurveSetColours[nSet], nSet == m_nSet ? 170 : 90);
        }
    }

    for (int nDegrees = kPlotMinDegrees; nDegrees <= kPlotMaxDegrees; nDegrees += 10) {
        const int x = static_cast<int>(DegreesToX(rc, nDegrees));
        if (nDegrees > kPlotMinDegrees && nDegrees < kPlotMaxDegrees) {
            m_canvas.Fill(RECT{x, rc.top, x + 1, rc.bottom}, kGrid, 200);
        }
        m_canvas.Text(std::to_wstring(nDegrees) + L"\u00b0C",
                      RECT{x - 24, rc.bottom + 7, x + 24, rc.bottom + 22}, m_fonts.m_hScale, kCurveDimText,
                      DT_CENTER | DT_TOP | DT_SINGLELINE);
    }
    for (int nPercent = 0; nPercent <= 100; nPercent += 10) {
        const int y = static_cast<int>(PercentToY(rc, nPercent));
        if (nPercent > 0 && nPercent < 100) {
            m_canvas.Fill(RECT{rc.left, y, rc.right, y + 1}, kGrid, 200);
        }
        m_canvas.Text(std::to_wstring(nPercent) + L"%", RECT{0, y - 8, rc.left - 8, y + 8}, m_fonts.m_hScale,
                      kCurveDimText, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
}

void CCurvePlot::DrawHistory(const SetView& set, COLORREF colour) {
    // The last five minutes as faint dots, fading with age; where the set dwelt they pile up brighter.
    m_canvas.SetClip(LinesClip());
    const auto& samples = set.m_history.Samples();
    for (size_t i = 0; i < samples.size(); ++i) {
        const CurveSample& sample = samples[i];
        if (sample.m_nDegrees && sample.m_nPercent) {
            const int nAlpha = 8 + static_cast<int>(40 * (i + 1) / samples.size());
            m_canvas.Disc(DegreesToX(m_rcPlot, *sample.m_nDegrees), PercentToY(m_rcPlot, *sample.m_nPercent),
                          2, colour, nAlpha);
        }
    }
    m_canvas.ResetClip();
}

void CCurvePlot::DrawCurve(const SetView& set, COLORREF colour, bool bSelected) {
    const std::vector<CurvePoint>& points = set.m_points;
    if (points.empty()) {
        return;
    }
    const double width = bSelected ? 2.5 : 2.0;
    const int nAlpha = bSelected ? 255 : 120;
    const auto x = [this](const CurvePoint& point) { return DegreesToX(m_rcPlot, point.m_nDegrees); };
    const auto y = [this](const CurvePoint& point) { return PercentToY(m_rcPlot, point.m_nPercent); };
    m_canvas.SetClip(LinesClip());
    // Beyond its ends the curve holds its end values.
    m_canvas.Line(m_rcPlot.left - 2, y(points.front()), x(points.front()), y(points.front()), width, colour,
                  nAlpha / 2);
    m_canvas.Line(x(points.back()), y(points.back()), m_rcPlot.right + 2, y(points.back()), width, colour,
                  nAlpha / 2);
    for (size_t i = 1; i < points.size(); ++i) {
        m_canvas.Line(x(points[i - 1]), y(points[i - 1]), x(points[i]), y(points[i]), width, colour, nAlpha);
    }
    m_canvas.ResetClip();

    for (size_t i = 0; i < points.size(); ++i) {
        const POINT at = CurveHandlePixel(m_rcPlot, points[i]);
        if (!bSelected) {
            m_canvas.Disc(at.x, at.y, 3, colour, 150);
        } else if (set.m_nSelected == i) {
            m_canvas.Disc(at.x, at.y, 11, colour, 70);
            m_canvas.Disc(at.x, at.y, 7, kWhite);
            m_canvas.Disc(at.x, at.y, 5, colour);
        } else {
            m_canvas.Disc(at.x, at.y, 6, kCurveWell);
            m_canvas.Disc(at.x, at.y, 4.5, colour);
        }
    }
}

void CCurvePlot::DrawLegend() {
    // Each set's name and where it runs now, in the plot's top-left corner where curves seldom go.
    const RECT rcBox{m_rcPlot.left + 10, m_rcPlot.top + 10, m_rcPlot.left + 206, m_rcPlot.top + 58};
    m_canvas.RoundRect(rcBox.left, rcBox.top, rcBox.right, rcBox.bottom, 4, kCurveRecessRim, 200);
    m_canvas.RoundRect(rcBox.left + 1, rcBox.top + 1, rcBox.right - 1, rcBox.bottom - 1, 3, kCurveWell, 220);
    for (int nSet = 0; nSet < kCurveSetCount; ++nSet) {
        const int y = rcBox.top + 14 + nSet * 20;
        const COLORREF colour = kCurveSetColours[nSet];
        m_canvas.Line(rcBox.left + 10, y, rcBox.left + 24, y, nSet == m_nSet ? 3 : 2, colour);
        m_canvas.Text(kSetNames[nSet], RECT{rcBox.left + 32, y - 9, rcBox.left + 120, y + 9},
                      m_fonts.m_hCaption, nSet == m_nSet ? colour : kCurveCaption,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        const CurveSample latest = m_sets[nSet].m_history.Latest();
        m_canvas.Text(ValueText(latest.m_nDegrees, latest.m_nPercent),
                      RECT{rcBox.left + 100, y - 10, rcBox.right - 10, y + 10}, m_fonts.m_hValue, kCurveAmber,
                      DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
}

void CCurvePlot::DrawSelectedTag() {
    const SetView& set = m_sets[m_nSet];
    if (!set.m_nSelected) {
        return;
    }
    // The selected point's values beside it, kept inside the plot.
    const CurvePoint& point = set.m_points[*set.m_nSelected];
    const POINT at = CurveHandlePixel(m_rcPlot, point);
    constexpr int kWidth = 86, kHeight = 22;
    const int x = at.x + 14 + kWidth <= m_rcPlot.right ? at.x + 14 : at.x - 14 - kWidth;
    const int y = at.y - 14 - kHeight >= m_rcPlot.top ? at.y - 14 - kHeight : at.y + 14;
    const COLORREF colour = kCurveSetColours[m_nSet];
    m_canvas.RoundRect(x, y, x + kWidth, y + kHeight, 4, colour);
    m_canvas.RoundRect(x + 1, y + 1, x + kWidth - 1, y + kHeight - 1, 3, kCurveWell);
    m_canvas.Text(ValueText(point.m_nDegrees, point.m_nPercent), RECT{x, y, x + kWidth, y + kHeight},
                  m_fonts.m_hValue, colour, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
