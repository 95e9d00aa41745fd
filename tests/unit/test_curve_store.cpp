// Tests of the stored curves: good, missing and malformed registry values on a scratch key.
#include "curve/CurveStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t* const kNames[] = {L"OuterCurve",       L"MiddleCurve", L"OuterHysteresis",
                                 L"MiddleHysteresis", L"OuterDelay",  L"MiddleDelay"};

// Every stored field as text, in the order of kNames.
std::vector<std::wstring> Fields(const CurveSet& curves) {
    return {
        FormatCurvePoints(curves.m_outer.m_points),      FormatCurvePoints(curves.m_middle.m_points),
        std::to_wstring(curves.m_outer.m_nHysteresis),   std::to_wstring(curves.m_middle.m_nHysteresis),
        std::to_wstring(curves.m_outer.m_nDelaySeconds), std::to_wstring(curves.m_middle.m_nDelaySeconds)};
}

std::vector<BYTE> Text(const std::wstring& strText) {
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(strText.c_str());
    return std::vector<BYTE>(pBytes, pBytes + (strText.size() + 1) * sizeof(wchar_t));
}

std::vector<BYTE> Number(unsigned long long nValue, size_t cbSize = 4) {
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(&nValue);
    return std::vector<BYTE>(pBytes, pBytes + cbSize);
}

class CurveStoreTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str()); }
    const std::wstring m_strKey = L"Software\\VentiqTest\\Curves" + std::to_wstring(GetCurrentProcessId());
};

TEST_F(CurveStoreTest, EachValueIsReadAsSavedOrFallsBackAloneToItsDefault) {
    const CurveSet saved{{{{20, 35}, {90, 95}}, 5, 30}, {{{35, 40}, {80, 90}}, 6, 40}};
    const std::vector<std::wstring> defaults = Fields(DefaultCurves());
    const struct {
        int nField;  // index into kNames
        DWORD nType; // REG_NONE: the value is removed
        std::vector<BYTE> data;
        const wchar_t* szLoaded; // what loads for the field; null for its default
    } rows[] = {
        {0, REG_SZ, Text(L"0:0 110:100"), L"0:0 110:100"},
        {1, REG_SZ, Text(L"0:0 10:1 20:2 30:3 40:4 50:5 60:6 110:100"),
         L"0:0 10:1 20:2 30:3 40:4 50:5 60:6 110:100"},
        {2, REG_DWORD, Number(0), L"0"},
        {3, REG_DWORD, Number(20), L"20"},
        {4, REG_DWORD, Number(600), L"600"},
        {0, REG_NONE, {}, nullptr},
        {5, REG_NONE, {}, nullptr},
        {0, REG_SZ, Text(L"0:0 10:1 20:2 30:3 40:4 50:5 60:6 70:7 110:100"), nullptr},
        {0, REG_SZ, Text(L"40:30"), nullptr},
        {0, REG_SZ, Text(L"40:30  60:50"), nullptr},
        {0, REG_SZ, Text(L" 40:30 60:50"), nullptr},
        {0, REG_SZ, Text(L"40:30 60:50 "), nullptr},
        {0, REG_SZ, Text(L"+40:30 60:50"), nullptr},
        {0, REG_SZ, Text(L"040:30 60:50"), nullptr},
        {0, REG_SZ, Text(L"x40:30 60:50"), nullptr},
        {0, REG_SZ, Text(L"40:30 60:50x"), nullptr},
        {0, REG_SZ, Text(L"40:30,60:50"), nullptr},
        {0, REG_SZ, Text(L"60:30 40:50"), nullptr},
        {0, REG_SZ, Text(L"40:30 40:50"), nullptr},
        {0, REG_SZ, Text(L"40:30 111:50"), nullptr},
        {1, REG_SZ, Text(L"40:30 60:101"), nullptr},
        {1, REG_SZ, Text(L"4294967336:30 60:50"), nullptr}, // would wrap round to 40
        {1, REG_EXPAND_SZ, Text(L"40:30 60:50"), nullptr},
        {1, REG_DWORD, Number(40), nullptr},
        {3, REG_DWORD, Number(21), nullptr},
        {2, REG_DWORD, Number(0xFFFFFFFF), nullptr}, // -1 as a signed number
        {5, REG_DWORD, Number(601), nullptr},
        {4, REG_SZ, Text(L"20"), nullptr},
        {4, REG_QWORD, Number(20, 8), nullptr},
        {5, REG_DWORD, Number(20, 2), nullptr},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(SaveCurves(saved, m_strKey));
        HKEY hKey = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, m_strKey.c_str(), 0, KEY_SET_VALUE, &hKey), ERROR_SUCCESS);
        if (row.nType == REG_NONE) {
            RegDeleteValueW(hKey, kNames[row.nField]);
        } else {
            RegSetValueExW(hKey, kNames[row.nField], 0, row.nType, row.data.data(),
                           static_cast<DWORD>(row.data.size()));
        }
        RegCloseKey(hKey);
        std::vector<std::wstring> expected = Fields(saved);
        expected[row.nField] = row.szLoaded != nullptr ? row.szLoaded : defaults[row.nField];
        EXPECT_EQ(Fields(LoadCurves(m_strKey)), expected) << kNames[row.nField] << ", row " << (&row - rows);
    }
}

} // namespace
