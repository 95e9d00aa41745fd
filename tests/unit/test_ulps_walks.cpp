// The ULPS registry walks on a scratch tree below HKEY_LOCAL_MACHINE.
#include "app/VentiqDlg.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

const wchar_t kMatch[] = L"AdapterDesc";

class UlpsWalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strRoot = L"SOFTWARE\\VentiqTest\\Video" + std::to_wstring(::GetCurrentProcessId());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_strRoot.c_str());
        Create(L"");
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_strRoot.c_str()); }

    std::wstring Path(const std::wstring& relative) const {
        return relative.empty() ? m_strRoot : m_strRoot + L"\\" + relative;
    }

    bool Create(const std::wstring& relative) const {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Path(relative).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        ::RegCloseKey(key);
        return true;
    }

    void SetValue(const std::wstring& relative, const wchar_t* name, DWORD type, const void* data,
                  DWORD size) const {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, Path(relative).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
        ::RegCloseKey(key);
    }
    void SetDesc(const std::wstring& relative, DWORD bytes = 20) const {
        const std::vector<BYTE> data(bytes, 'A');
        SetValue(relative, kMatch, REG_BINARY, data.data(), bytes);
    }
    void SetUlps(const std::wstring& relative, DWORD value) const {
        SetValue(relative, L"EnableUlps", REG_DWORD, &value, sizeof value);
    }
    void Adapter(const std::wstring& relative, DWORD ulps) const {
        SetDesc(relative);
        SetUlps(relative, ulps);
    }
    std::optional<DWORD> Ulps(const std::wstring& relative) const {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, Path(relative).c_str(), L"EnableUlps", RRF_RT_ANY, nullptr,
                           &value, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return value;
    }

    // Runs the read walk from the scratch root with both flags cleared; true when it set them.
    bool ReadFinds() {
        m_dlg.m_bUlpsAtStart = false;
        m_dlg.m_bUlpsEnabled = false;
        EXPECT_EQ(m_dlg.ReadUlpsState(m_strRoot, kMatch), TRUE);
        EXPECT_EQ(m_dlg.m_bUlpsAtStart, m_dlg.m_bUlpsEnabled);
        return m_dlg.m_bUlpsAtStart;
    }
    void Write(DWORD value) { EXPECT_EQ(m_dlg.WriteUlpsState(m_strRoot, kMatch, value), TRUE); }

    std::wstring m_strRoot;
    CVentiqDlg m_dlg;
};

TEST_F(UlpsWalkTest, OneAdapterKeyIsReadThenSwitchedOffAndBackOn) {
    Adapter(L"{Class}\\0000", 1);
    EXPECT_TRUE(ReadFinds());
    Write(0);
    EXPECT_EQ(Ulps(L"{Class}\\0000"), 0u);
    Write(1);
    EXPECT_EQ(Ulps(L"{Class}\\0000"), 1u);
}

TEST_F(UlpsWalkTest, ReadStopsAtTheFirstAdapterKeyOfALevel) {
    Adapter(L"{Class}\\0000", 0);
    Adapter(L"{Class}\\0001", 1);
    EXPECT_FALSE(ReadFinds()) << "0001 is never examined after 0000";
    Adapter(L"{Other}\\0000", 1);
    EXPECT_TRUE(ReadFinds()) << "another level is examined on its own";
}

TEST_F(UlpsWalkTest, ReadExaminesASubtreeBeforeItsKey) {
    Adapter(L"{Class}\\0000", 0);
    Adapter(L"{Class}\\0000\\Settings", 1);
    EXPECT_TRUE(ReadFinds());
}

TEST_F(UlpsWalkTest, ReadNeverClearsTheFlags) {
    Adapter(L"{Class}\\0000", 0);
    m_dlg.m_bUlpsAtStart = true;
    m_dlg.m_bUlpsEnabled = true;
    m_dlg.ReadUlpsState(m_strRoot, kMatch);
    EXPECT_TRUE(m_dlg.m_bUlpsAtStart);
    EXPECT_TRUE(m_dlg.m_bUlpsEnabled);
}

TEST_F(UlpsWalkTest, WriteReachesEveryAdapterKeyAtAnyDepth) {
    Adapter(L"{Class}\\0000", 1);
    Adapter(L"{Class}\\0001", 1);
    Adapter(L"{Other}\\0000\\Deep\\Deeper", 1);
    Adapter(L"{Other}\\0000", 1);
    Write(0);
    for (const wchar_t* key :
         {L"{Class}\\0000", L"{Class}\\0001", L"{Other}\\0000\\Deep\\Deeper", L"{Other}\\0000"}) {
        EXPECT_EQ(Ulps(key), 0u) << key;
    }
    EXPECT_FALSE(ReadFinds());
}

TEST_F(UlpsWalkTest, KeysLackingOneValueAreLeftAlone) {
    SetUlps(L"{Class}\\OnlyUlps", 1);
    SetDesc(L"{Class}\\OnlyDesc");
    EXPECT_FALSE(ReadFinds());
    Write(0);
    EXPECT_EQ(Ulps(L"{Class}\\OnlyUlps"), 1u);
    EXPECT_EQ(Ulps(L"{Class}\\OnlyDesc"), std::nullopt) << "the write never creates the value";
}

TEST_F(UlpsWalkTest, OnlyExactlyOneMeansOn) {
    const struct {
        DWORD stored;
        bool on;
    } cases[] = {{0, false}, {1, true}, {2, false}, {0xFFFFFFFF, false}};
    for (const auto& c : cases) {
        Adapter(L"{Class}\\0000", c.stored);
        EXPECT_EQ(ReadFinds(), c.on) << c.stored;
    }
}

TEST_F(UlpsWalkTest, WriteStoresZeroOrOne) {
    Adapter(L"{Class}\\0000", 7);
    const struct {
        DWORD value;
        DWORD stored;
    } cases[] = {{2, 1}, {0, 0}, {1, 1}, {0x100, 1}};
    for (const auto& c : cases) {
        Write(c.value);
        EXPECT_EQ(Ulps(L"{Class}\\0000"), c.stored) << c.value;
    }
}

TEST_F(UlpsWalkTest, ValuesOfMoreThan512BytesDoNotMarkAnAdapterKey) {
    // Whether the key is an adapter key shows in the write: it replaces the value by a DWORD 0.
    const struct {
        DWORD descBytes;
        DWORD ulpsBytes; // 4: a DWORD 1; otherwise binary data of this size
        bool adapter;
    } cases[] = {{512, 4, true}, {513, 4, false}, {20, 512, true}, {20, 513, false}};
    for (const auto& c : cases) {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Path(L"{Class}").c_str());
        SetDesc(L"{Class}\\0000", c.descBytes);
        std::vector<BYTE> ulps(c.ulpsBytes, 0);
        ulps[0] = 1;
        SetValue(L"{Class}\\0000", L"EnableUlps", c.ulpsBytes == 4 ? REG_DWORD : REG_BINARY, ulps.data(),
                 c.ulpsBytes);
        if (c.ulpsBytes == 4) {
            EXPECT_EQ(ReadFinds(), c.adapter) << c.descBytes;
        }
        Write(0);
        DWORD size = 0;
        ::RegGetValueW(HKEY_LOCAL_MACHINE, Path(L"{Class}\\0000").c_str(), L"EnableUlps", RRF_RT_ANY, nullptr,
                       nullptr, &size);
        EXPECT_EQ(size == sizeof(DWORD) && Ulps(L"{Class}\\0000") == 0u, c.adapter)
            << c.descBytes << " / " << c.ulpsBytes;
    }
}

TEST_F(UlpsWalkTest, SubkeysWithNamesOf256CharactersAreSkippedWithTheirSubtree) {
    const std::wstring fits(255, L'a');
    const std::wstring tooLong(256, L'b');
    Adapter(L"{Class}\\" + fits + L"\\0000", 0);
    if (!Create(L"{Other}\\" + tooLong)) {
        GTEST_SKIP() << "this registry refuses key names of 256 characters";
    }
    Adapter(L"{Other}\\" + tooLong + L"\\0000", 1);
    Adapter(L"{Other}\\" + tooLong, 1);
    EXPECT_FALSE(ReadFinds());
    Write(0);
    EXPECT_EQ(Ulps(L"{Other}\\" + tooLong), 1u);
    EXPECT_EQ(Ulps(L"{Other}\\" + tooLong + L"\\0000"), 1u);
    Write(1);
    EXPECT_EQ(Ulps(L"{Class}\\" + fits + L"\\0000"), 1u) << "a name of 255 characters is walked";
}

TEST_F(UlpsWalkTest, MissingStartKeyChangesNothing) {
    const std::wstring missing = m_strRoot + L"\\Missing";
    m_dlg.m_bUlpsAtStart = true;
    m_dlg.m_bUlpsEnabled = false;
    EXPECT_EQ(m_dlg.ReadUlpsState(missing, kMatch), TRUE);
    EXPECT_EQ(m_dlg.WriteUlpsState(missing, kMatch, 1), TRUE);
    EXPECT_TRUE(m_dlg.m_bUlpsAtStart);
    EXPECT_FALSE(m_dlg.m_bUlpsEnabled);
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, missing.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(UlpsWalkTest, TheMatchNameIsTheCallersChoice) {
    Adapter(L"{Class}\\0000", 1);
    const DWORD one = 1;
    SetValue(L"{Class}\\0001", L"DriverDesc", REG_DWORD, &one, sizeof one);
    SetUlps(L"{Class}\\0001", 1);
    m_dlg.WriteUlpsState(m_strRoot, L"DriverDesc", 0);
    EXPECT_EQ(Ulps(L"{Class}\\0000"), 1u);
    EXPECT_EQ(Ulps(L"{Class}\\0001"), 0u);
}

} // namespace
