// Fan curves: defaults, validation, the stored text form and the interpolated target.
#include "curve/FanCurve.h"

#include <algorithm>

FanCurve DefaultOuterCurve() {
    return FanCurve{{{30, 30}, {50, 40}, {65, 60}, {75, 80}, {85, 100}}};
}

FanCurve DefaultMiddleCurve() {
    return FanCurve{{{40, 30}, {55, 45}, {65, 70}, {75, 100}}};
}

bool IsValidCurve(const std::vector<CurvePoint>& points) {
    if (points.size() < kCurveMinPoints || points.size() > kCurveMaxPoints) {
        return false;
    }
    int nPrevious = -1;
    for (const CurvePoint& point : points) {
        if (point.m_nDegrees <= nPrevious || point.m_nDegrees > kCurveMaxDegrees || point.m_nPercent < 0 ||
            point.m_nPercent > 100) {
            return false;
        }
        nPrevious = point.m_nDegrees;
    }
    return true;
}

namespace {
// Reads a number of at most three digits at nPos; "0" alone may start with a zero.
std::optional<int> ReadNumber(const std::wstring& strText, size_t& nPos) {
    const size_t nStart = nPos;
    int nValue = 0;
    while (nPos < strText.size() && strText[nPos] >= L'0' && strText[nPos] <= L'9' && nPos - nStart < 3) {
        nValue = nValue * 10 + (strText[nPos] - L'0');
        ++nPos;
    }
    const bool bDigitFollows = nPos < strText.size() && strText[nPos] >= L'0' && strText[nPos] <= L'9';
    if (nPos == nStart || bDigitFollows || (strText[nStart] == L'0' && nPos - nStart > 1)) {
        return std::nullopt;
    }
    return nValue;
}
} // namespace

std::optional<std::vector<CurvePoint>> ParseCurvePoints(const std::wstring& strText) {
    std::vector<CurvePoint> points;
    size_t nPos = 0;
    while (points.size() <= kCurveMaxPoints) {
        const std::optional<int> nDegrees = ReadNumber(strText, nPos);
        if (!nDegrees || nPos >= strText.size() || strText[nPos++] != L':') {
            return std::nullopt;
        }
        const std::optional<int> nPercent = ReadNumber(strText, nPos);
        if (!nPercent) {
            return std::nullopt;
        }
        points.push_back({*nDegrees, *nPercent});
        if (nPos == strText.size()) {
            break;
        }
        if (strText[nPos++] != L' ') {
            return std::nullopt;
        }
    }
    if (!IsValidCurve(points)) {
        return std::nullopt;
    }
    return points;
}

std::wstring FormatCurvePoints(const std::vector<CurvePoint>& points) {
    std::wstring strText;
    for (const CurvePoint& point : points) {
        if (!strText.empty()) {
            strText += L' ';
        }
        strText += std::to_wstring(point.m_nDegrees) + L':' + std::to_wstring(point.m_nPercent);
    }
    return strText;
}

int CurveTarget(const std::vector<CurvePoint>& points, int nDegrees, int nMinimumPercent) {
    if (points.empty()) {
        return 100;
    }
    int nPercent = points.back().m_nPercent;
    const auto next = std::find_if(points.begin(), points.end(), [nDegrees](const CurvePoint& point) {
        return point.m_nDegrees > nDegrees;
    });
    if (next == points.begin()) {
        nPercent = points.front().m_nPercent;
    } else if (next != points.end()) {
        const CurvePoint& low = *(next - 1);
        const int nRise = (next->m_nPercent - low.m_nPercent) * (nDegrees - low.m_nDegrees);
        const int nRun = next->m_nDegrees - low.m_nDegrees;
        // Halves round away from zero, on falling stretches as on rising ones.
        nPercent = low.m_nPercent + (2 * nRise + (nRise < 0 ? -nRun : nRun)) / (2 * nRun);
    }
    return std::clamp(nPercent, nMinimumPercent, 100);
}
