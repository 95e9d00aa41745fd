// Curves in the registry: OuterCurve / MiddleCurve (REG_SZ points), OuterHysteresis /
// MiddleHysteresis and OuterDelay / MiddleDelay (REG_DWORD).
#include "curve/CurveStore.h"

namespace {
// The value names of one set.
struct CurveValueNames {
    const wchar_t* m_szPoints;
    const wchar_t* m_szHysteresis;
    const wchar_t* m_szDelay;
};
constexpr CurveValueNames kOuterNames{L"OuterCurve", L"OuterHysteresis", L"OuterDelay"};
constexpr CurveValueNames kMiddleNames{L"MiddleCurve", L"MiddleHysteresis", L"MiddleDelay"};

int ReadNumber(const std::wstring& strKey, const wchar_t* szName, int nMaximum, int nDefault) {
    const std::optional<RegValueShape> shape = RegQueryShape(HKEY_CURRENT_USER, strKey, szName);
    if (!shape || shape->m_nType != REG_DWORD || shape->m_cbData != sizeof(DWORD)) {
        return nDefault;
    }
    const DWORD nValue = RegReadDword(HKEY_CURRENT_USER, strKey, szName, static_cast<DWORD>(nDefault));
    return nValue <= static_cast<DWORD>(nMaximum) ? static_cast<int>(nValue) : nDefault;
}

FanCurve ReadCurve(const std::wstring& strKey, const CurveValueNames& names, const FanCurve& fallback) {
    FanCurve curve = fallback;
    const std::optional<RegValueShape> shape = RegQueryShape(HKEY_CURRENT_USER, strKey, names.m_szPoints);
    if (shape && shape->m_nType == REG_SZ) {
        if (auto points = ParseCurvePoints(RegReadString(HKEY_CURRENT_USER, strKey, names.m_szPoints, L""))) {
            curve.m_points = std::move(*points);
        }
    }
    curve.m_nHysteresis =
        ReadNumber(strKey, names.m_szHysteresis, kCurveMaxHysteresis, fallback.m_nHysteresis);
    curve.m_nDelaySeconds =
        ReadNumber(strKey, names.m_szDelay, kCurveMaxDelaySeconds, fallback.m_nDelaySeconds);
    return curve;
}

bool WriteCurve(const std::wstring& strKey, const CurveValueNames& names, const FanCurve& curve) {
    const bool bPoints =
        RegWriteString(HKEY_CURRENT_USER, strKey, names.m_szPoints, FormatCurvePoints(curve.m_points));
    const bool bHysteresis = RegWriteDword(HKEY_CURRENT_USER, strKey, names.m_szHysteresis,
                                           static_cast<DWORD>(curve.m_nHysteresis));
    const bool bDelay =
        RegWriteDword(HKEY_CURRENT_USER, strKey, names.m_szDelay, static_cast<DWORD>(curve.m_nDelaySeconds));
    return bPoints && bHysteresis && bDelay;
}
} // namespace

CurveSet DefaultCurves() {
    return CurveSet{DefaultOuterCurve(), DefaultMiddleCurve()};
}

CurveSet LoadCurves(const std::wstring& strKey) {
    return CurveSet{ReadCurve(strKey, kOuterNames, DefaultOuterCurve()),
                    ReadCurve(strKey, kMiddleNames, DefaultMiddleCurve())};
}

bool SaveCurves(const CurveSet& curves, const std::wstring& strKey) {
    const bool bOuter = WriteCurve(strKey, kOuterNames, curves.m_outer);
    const bool bMiddle = WriteCurve(strKey, kMiddleNames, curves.m_middle);
    return bOuter && bMiddle;
}
