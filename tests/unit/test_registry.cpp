// Tests of the single-value registry functions against a scratch key below HKEY_CURRENT_USER.
#include "app/Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_strKey = L"Software\\VentiqTest\\Registry" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str()); }

    // Stores exactly the given bytes under strName, creating the scratch key.
    void Store(const std::wstring& strName, DWORD nType, const void* pData, DWORD cbData) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_strKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &hKey, nullptr),
                  ERROR_SUCCESS);
        const LONG nResult =
            RegSetValueExW(hKey, strName.c_str(), 0, nType, static_cast<const BYTE*>(pData), cbData);
        RegCloseKey(hKey);
        ASSERT_EQ(nResult, ERROR_SUCCESS);
    }
    void StoreText(const std::wstring& strName, const std::wstring& strData, DWORD cbData) {
        Store(strName, REG_SZ, strData.data(), cbData);
    }

    std::wstring m_strKey;
};

} // namespace

TEST_F(RegistryTest, ReadDwordTakesOnlyDataThatFitsFourBytes) {
    const DWORD nOne = 1;
    const unsigned long long nEight = 0x1122334455667788ull;
    const WORD nTwo = 0x1234;
    const BYTE nByte = 0x7F;
    Store(L"Dword", REG_DWORD, &nOne, sizeof nOne);
    Store(L"Qword", REG_QWORD, &nEight, sizeof nEight);
    Store(L"Word", REG_BINARY, &nTwo, sizeof nTwo);
    Store(L"Byte", REG_BINARY, &nByte, sizeof nByte);
    Store(L"Empty", REG_BINARY, nullptr, 0);

    const struct {
        const wchar_t* szName;
        DWORD nDefault;
        DWORD nExpected;
    } cases[] = {
        {L"Dword", 7, 1},
        {L"Missing", 7, 7},
        {L"Qword", 0xDEADBEEF, 0xDEADBEEF},
        {L"Word", 0xAABBCCDD, 0xAABB1234}, // the default's upper half survives
        {L"Word", 0, 0x1234},
        {L"Byte", 0xAABBCCDD, 0xAABBCC7F},
        {L"Empty", 0xAABBCCDD, 0xAABBCCDD},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, m_strKey, c.szName, c.nDefault), c.nExpected) << c.szName;
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, m_strKey + L"\\Missing", L"Dword", 5u), 5u);
}

TEST_F(RegistryTest, WriteDwordCreatesTheKeyAndOverwrites) {
    const std::wstring strDeep = m_strKey + L"\\New\\Deeper";
    RegWriteDword(HKEY_CURRENT_USER, strDeep, L"EnableUlps", 1);

    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, strDeep.c_str(), 0, KEY_QUERY_VALUE, &hKey), ERROR_SUCCESS);
    DWORD nType = 0, nData = 0, cbData = sizeof nData;
    EXPECT_EQ(
        RegQueryValueExW(hKey, L"EnableUlps", nullptr, &nType, reinterpret_cast<BYTE*>(&nData), &cbData),
        ERROR_SUCCESS);
    RegCloseKey(hKey);
    EXPECT_EQ(nType, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(cbData, 4u);
    EXPECT_EQ(nData, 1u);

    RegWriteDword(HKEY_CURRENT_USER, strDeep, L"EnableUlps", 0xFFFFFFFF);
    EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, strDeep, L"EnableUlps", 3), 0xFFFFFFFFu);
}

TEST_F(RegistryTest, ReadStringStopsAtNulAndStaysInsideTheRoom) {
    const std::wstring strDir = L"C:\\Program Files\\Ventiq";
    StoreText(L"WorkDir", strDir, static_cast<DWORD>((strDir.size() + 1) * sizeof(wchar_t)));
    StoreText(L"NoNul", L"abc", 3 * sizeof(wchar_t));
    StoreText(L"Odd", L"abc", 5); // two whole characters and a stray byte
    StoreText(L"Inner", std::wstring(L"ab\0cd", 5), 5 * sizeof(wchar_t));
    StoreText(L"Blank", L"", 0);
    const std::wstring strLong(2600, L'x');
    StoreText(L"Fits", strLong, 5000); // 2500 characters, no NUL
    StoreText(L"Full", strLong, 5001); // fills the whole room
    StoreText(L"Over", strLong, 5002);
    StoreText(L"Huge", strLong, static_cast<DWORD>(strLong.size() * sizeof(wchar_t)));
    const DWORD nDword = 0x00410042; // "BA" once read as text
    Store(L"Dword", REG_DWORD, &nDword, sizeof nDword);

    const struct {
        const wchar_t* szName;
        std::wstring strExpected;
    } cases[] = {
        {L"WorkDir", strDir},
        {L"NoNul", L"abc"},
        {L"Odd", L"ab"},
        {L"Inner", L"ab"},
        {L"Blank", L""}, // read succeeded: empty text, not the default
        {L"Fits", std::wstring(2500, L'x')},
        {L"Full", L"default"},
        {L"Over", L"default"},
        {L"Huge", L"default"},
        {L"Dword", L"BA"}, // the type is not checked
        {L"Missing", L"default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, m_strKey, c.szName, L"default"), c.strExpected)
            << c.szName;
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, m_strKey + L"\\Missing", L"WorkDir", L"keep"), L"keep");
}
