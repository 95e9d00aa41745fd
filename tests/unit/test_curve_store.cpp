// Tests of the stored curves: good and malformed registry values on a scratch key.
#include "curve/CurveStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CurveStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strKey = L"Software\\VentiqTest\\Curves" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str()); }

    void Store(const wchar_t* szName, DWORD nType, const std::vector<BYTE>& data) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &hKey, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(hKey, szName, 0, nType, data.data(), static_cast<DWORD>(data.size()));
        RegCloseKey(hKey);
    }

    std::wstring m_strKey;
};

std::vector<BYTE> Text(const std::wstring& strText) {
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(strText.c_str());
    return std::vector<BYTE>(pBytes, pBytes + (strText.size() + 1) * sizeof(wchar_t));
}

std::vector<BYTE> Number(unsigned long long nValue, size_t cbSize = 4) {
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(&nValue);
    return std::vector<BYTE>(pBytes, pBytes + cbSize);
}

// Every stored field of a set of curves as text, in value-name order.
std::vector<std::wstring> Fields(const CurveSet& curves) {
    return {
        FormatCurvePoints(curves.m_outer.m_points),      FormatCurvePoints(curves.m_middle.m_points),
        std::to_wstring(curves.m_outer.m_nHysteresis),   std::to_wstring(curves.m_middle.m_nHysteresis),
        std::to_wstring(curves.m_outer.m_nDelaySeconds), std::to_wstring(curves.m_middle.m_nDelaySeconds)};
}
const wchar_t* const kNames[] = {L"OuterCurve",       L"MiddleCurve", L"OuterHysteresis",
                                 L"MiddleHysteresis", L"OuterDelay",  L"MiddleDelay"};

TEST_F(CurveStoreTest, SavedCurvesLoadBackAndMissingValuesAreDefaults) {
    EXPECT_EQ(LoadCurves(m_strKey), DefaultCurves());
    const CurveSet curves{{{{0, 0}, {110, 100}}, 0, 600}, {{{40, 30}, {60, 50}, {75, 80}, {85, 100}}, 20, 0}};
    ASSERT_TRUE(SaveCurves(curves, m_strKey));
    EXPECT_EQ(LoadCurves(m_strKey), curves);
}

TEST_F(CurveStoreTest, EachMalformedValueFallsBackAloneToItsDefault) {
    const CurveSet saved{{{{20, 35}, {90, 95}}, 5, 30}, {{{35, 40}, {80, 90}}, 6, 40}};
    const std::vector<std::wstring> defaults = Fields(DefaultCurves());
    const struct {
        int nField; // index into kNames
        DWORD nType;
        std::vector<BYTE> data;
        bool bTaken; // the value is read as stored; else the field's default
    } rows[] = {
        {0, REG_SZ, Text(L"40:30 60:50 75:80 85:100"), true},
        {1, REG_SZ, Text(L"0:0 10:1 20:2 30:3 40:4 50:5 60:6 110:100"), true},
        {0, REG_SZ, Text(L"0:0 10:1 20:2 30:3 40:4 50:5 60:6 70:7 110:100"), false},
        {0, REG_SZ, Text(L"40:30"), false},
        {0, REG_SZ, Text(L""), false},
        {0, REG_SZ, Text(L"40:30  60:50"), false},
        {0, REG_SZ, Text(L" 40:30 60:50"), false},
        {0, REG_SZ, Text(L"40:30 60:50 "), false},
        {0, REG_SZ, Text(L"+40:30 60:50"), false},
        {0, REG_SZ, Text(L"40:30 60:-5"), false},
        {0, REG_SZ, Text(L"040:30 60:50"), false},
        {0, REG_SZ, Text(L"x40:30 60:50"), false},
        {0, REG_SZ, Text(L"40:30 60:50x"), false},
        {0, REG_SZ, Text(L"40:30,60:50"), false},
        {0, REG_SZ, Text(L"40:30 60"), false},
        {0, REG_SZ, Text(L"60:30 40:50"), false},
        {0, REG_SZ, Text(L"40:30 40:50"), false},
        {0, REG_SZ, Text(L"40:30 111:50"), false},
        {1, REG_SZ, Text(L"40:30 60:101"), false},
        {1, REG_SZ, Text(L"4294967336:30 60:50"), false},
        {1, REG_EXPAND_SZ, Text(L"40:30 60:50"), false},
        {1, REG_DWORD, Number(40), false},
        {2, REG_DWORD, Number(0), true},
        {3, REG_DWORD, Number(20), true},
        {3, REG_DWORD, Number(21), false},
        {2, REG_DWORD, Number(0xFFFFFFFF), false},
        {4, REG_DWORD, Number(600), true},
        {5, REG_DWORD, Number(601), false},
        {4, REG_SZ, Text(L"20"), false},
        {4, REG_QWORD, Number(20, 8), false},
        {5, REG_BINARY, Number(20), false},
        {5, REG_DWORD, Number(20, 2), false},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(SaveCurves(saved, m_strKey));
        Store(kNames[row.nField], row.nType, row.data);
        std::vector<std::wstring> expected = Fields(saved);
        if (!row.bTaken) {
            expected[row.nField] = defaults[row.nField];
        } else if (row.nType == REG_SZ) {
            expected[row.nField] = reinterpret_cast<const wchar_t*>(row.data.data());
        } else {
            expected[row.nField] = std::to_wstring(*reinterpret_cast<const DWORD*>(row.data.data()));
        }
        EXPECT_EQ(Fields(LoadCurves(m_strKey)), expected) << kNames[row.nField] << " row " << (&row - rows);
    }
}

} // namespace
