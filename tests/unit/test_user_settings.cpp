// Tests of the remembered settings against a scratch key below HKEY_CURRENT_USER.
#include "app/UserSettings.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

class UserSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str()); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey.c_str()); }

    // Stores the bytes as they are; REG_NONE stores nothing.
    void Store(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        if (type != REG_NONE) {
            ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, m_strKey.c_str(), name, type, data, size), 0);
        }
    }
    void Store(const wchar_t* name, DWORD type, DWORD number) { Store(name, type, &number, sizeof number); }
    std::wstring StoredBytes(const wchar_t* name) {
        wchar_t data[16] = {};
        DWORD size = sizeof data;
        ::RegGetValueW(HKEY_CURRENT_USER, m_strKey.c_str(), name, RRF_RT_ANY, nullptr, data, &size);
        return std::wstring(data, size / sizeof(wchar_t));
    }

    const std::wstring m_strKey =
        L"Software\\VentiqTest\\UserSettings" + std::to_wstring(::GetCurrentProcessId());
};

TEST_F(UserSettingsTest, AMalformedOrMissingValueMakesItsSetAutomatic) {
    const struct {
        const wchar_t* m_szMode; // null: no value
        DWORD m_nPercentType;    // REG_NONE: no value
        DWORD m_nPercent;
        FanMode m_expectedMode;
        int m_nExpectedPercent;
    } cases[] = {
        {L"manual", REG_DWORD, 65, FanMode::Manual, 65},
        {L"manual", REG_DWORD, 20, FanMode::Manual, 20},
        {L"manual", REG_DWORD, 100, FanMode::Manual, 100},
        {L"curve", REG_NONE, 0, FanMode::Curve, 0},
        {L"auto", REG_DWORD, 40, FanMode::Automatic, 40}, // the last manual percentage is kept
        {nullptr, REG_NONE, 0, FanMode::Automatic, 0},
        {L"manual", REG_NONE, 0, FanMode::Automatic, 0},
        {L"manual", REG_DWORD, 19, FanMode::Automatic, 0},
        {L"manual", REG_DWORD, 101, FanMode::Automatic, 0},
        {L"manual", REG_BINARY, 65, FanMode::Automatic, 0}, // a wrong type is malformed
        {L"Manual", REG_DWORD, 65, FanMode::Automatic, 65},
    };
    // Each set alone, so that one set reading the other's values shows.
    for (const auto& set :
         {std::pair{L"Outer", &RememberedFans::m_outer}, {L"Middle", &RememberedFans::m_middle}}) {
        for (const auto& c : cases) {
            SetUp();
            const std::wstring name = set.first;
            if (c.m_szMode != nullptr) {
                Store((name + L"Mode").c_str(), REG_SZ, c.m_szMode,
                      static_cast<DWORD>(wcslen(c.m_szMode) * 2 + 2));
            }
            Store((name + L"Percent").c_str(), c.m_nPercentType, c.m_nPercent);
            const FanSetting setting = ReadRememberedFans(m_strKey).*set.second;
            EXPECT_EQ(setting.m_mode, c.m_expectedMode) << name << " row " << &c - cases;
            EXPECT_EQ(setting.m_nPercent, c.m_nExpectedPercent) << name << " row " << &c - cases;
        }
    }
}

TEST_F(UserSettingsTest, WritesOnlyTheValuesThatChanged) {
    // Text after the NUL reads as the same mode; a write would drop it, so it shows what was written.
    const wchar_t padded[] = L"manual\0x";
    const std::wstring paddedBytes(padded, std::size(padded));
    Store(L"OuterMode", REG_SZ, padded, sizeof padded);
    Store(L"MiddleMode", REG_SZ, padded, sizeof padded);
    Store(L"OuterPercent", REG_DWORD, 50);
    Store(L"MiddlePercent", REG_DWORD, 60);

    ASSERT_TRUE(WriteRememberedFans({{FanMode::Manual, 50}, {FanMode::Manual, 70}}, m_strKey));
    EXPECT_EQ(StoredBytes(L"OuterMode"), paddedBytes);
    EXPECT_EQ(StoredBytes(L"MiddleMode"), paddedBytes);
    EXPECT_EQ(ReadRememberedFans(m_strKey).m_middle.m_nPercent, 70);

    ASSERT_TRUE(WriteRememberedFans({{FanMode::Curve, 50}, {FanMode::Automatic, 70}}, m_strKey));
    EXPECT_EQ(ReadRememberedFans(m_strKey).m_outer.m_mode, FanMode::Curve);
    EXPECT_EQ(StoredBytes(L"MiddleMode"), std::wstring(L"auto", 5));
}

TEST_F(UserSettingsTest, RestoreAtStartIsOnOnlyAsTheDwordOne) {
    EXPECT_FALSE(ReadRestoreAtStart(m_strKey));
    ASSERT_TRUE(WriteRestoreAtStart(true, m_strKey));
    EXPECT_TRUE(ReadRestoreAtStart(m_strKey));
    Store(L"RestoreAtStart", REG_BINARY, 1);
    EXPECT_FALSE(ReadRestoreAtStart(m_strKey));
    Store(L"RestoreAtStart", REG_DWORD, 2);
    EXPECT_FALSE(ReadRestoreAtStart(m_strKey));
}

} // namespace
