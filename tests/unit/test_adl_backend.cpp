// AMD display library start-up on the simulated board: library choice, the four start-up entry points,
// the adapter choice, the CrossFire test and the re-initialisation.
#include "app/VentiqDlg.h"
#include "hw/AmdFanHardware.h"
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

using simtest::Field;

namespace {

class AdlBackendTest : public ::testing::Test {
protected:
    void SetUp() override { m_dlg.m_strVendor = L"AMD"; }
    void TearDown() override {
        m_dlg.m_pAmdHardware = nullptr;
        m_dlg.m_pHardware.reset();
    }

    bool Start(const std::string& scenario) {
        TearDown();
        m_board.WriteScenario(scenario);
        m_board.ClearJournal();
        return m_dlg.StartBackend();
    }

    CAmdFanHardware& Amd() const { return *m_dlg.m_pAmdHardware; }

    std::vector<std::string> AdlCalls() const {
        std::vector<std::string> calls;
        for (const std::string& line : m_board.Journal()) {
            if (line.compare(0, 4, "ADL_") == 0) {
                calls.push_back(line.substr(0, line.find(' ')));
            }
        }
        return calls;
    }

    simtest::CScratchBoard m_board;
    CVentiqDlg m_dlg;
};

TEST_F(AdlBackendTest, DefaultBoardStartsWithTheStartUpSequence) {
    ASSERT_TRUE(Start(""));
    EXPECT_EQ(Amd().AdapterCount(), 1);
    EXPECT_EQ(Amd().AdapterIndex(), 0);
    const auto journal = m_board.Journal();
    EXPECT_EQ(AdlCalls(),
              (std::vector<std::string>{"ADL_Main_Control_Create", "ADL_Adapter_NumberOfAdapters_Get",
                                        "ADL_Adapter_AdapterInfo_Get", "ADL_Adapter_Active_Get",
                                        "ADL_Adapter_Crossfire_Caps", "ADL_Adapter_Crossfire_Get"}));
    EXPECT_EQ(m_board.Calls("ADL_Main_Control_Create"),
              (std::vector<std::string>{"ADL_Main_Control_Create callback=1 connected=1"}));
    EXPECT_EQ(m_board.Calls("ADL_Adapter_AdapterInfo_Get"),
              (std::vector<std::string>{"ADL_Adapter_AdapterInfo_Get size=1572"}));
    EXPECT_EQ(Field(m_board.Calls("ADL_Adapter_Crossfire_Get").at(0), "comb"), "1")
        << "Get receives the combination list Caps handed out";
}

TEST_F(AdlBackendTest, AdapterChoice) {
    const struct {
        const char* name;
        const char* scenario;
        int expectedIndex;
        std::vector<std::string> activeQueries; // adapter= of each Active_Get, in order
    } cases[] = {
        {"default", "", 0, {"0"}},
        {"inactive AMD and active other vendor skipped",
         "adapters = 3\nadapter.0.active = 0\nadapter.1.index = 3\nadapter.1.vendor = 4318\nadapter.2.index "
         "= 5\n",
         5,
         {"0", "3", "5"}},
        {"first qualifying wins",
         "adapters = 3\nadapter.0.index = 2\nadapter.1.index = 4\nadapter.2.index = 6\n",
         2,
         {"2"}},
        {"none qualifies", "adapters = 2\nadapter.0.active = 0\nadapter.1.vendor = 0x1002\n", -1, {"0", "1"}},
        {"no adapters", "adapters = 0\n", -1, {}},
        {"records not delivered",
         "adapters = 2\nfault.status.ADL_Adapter_AdapterInfo_Get = -1\n",
         -1,
         {"0", "0"}},
        {"activity not answered", "fault.status.ADL_Adapter_Active_Get = -1\n", -1, {"0"}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Start(c.scenario)) << c.name << ": the adapter choice never fails start-up";
        EXPECT_EQ(Amd().AdapterIndex(), c.expectedIndex) << c.name;
        std::vector<std::string> queried;
        for (const std::string& line : m_board.Calls("ADL_Adapter_Active_Get")) {
            queried.push_back(Field(line, "adapter"));
        }
        EXPECT_EQ(queried, c.activeQueries) << c.name;
    }
}

TEST_F(AdlBackendTest, RecordBufferHoldsOneRecordPerAdapter) {
    ASSERT_TRUE(Start("adapters = 3\n"));
    EXPECT_EQ(m_board.Calls("ADL_Adapter_AdapterInfo_Get"),
              (std::vector<std::string>{"ADL_Adapter_AdapterInfo_Get size=4716"}));
    ASSERT_TRUE(Start("adapters = 0\n"));
    EXPECT_TRUE(m_board.Calls("ADL_Adapter_AdapterInfo_Get").empty())
        << "no records asked for when there are none";
}

TEST_F(AdlBackendTest, SecondLibraryNameWhenTheFirstIsAbsent) {
    ASSERT_TRUE(Start("fault.absent = atiadlxx.dll\n"));
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(Amd().Library(), path, MAX_PATH);
    EXPECT_NE(std::wstring(path).find(L"atiadlxy.dll"), std::wstring::npos) << path;
    const auto loads = m_board.Calls("load");
    ASSERT_EQ(loads.size(), 2u);
    EXPECT_EQ(Field(loads[0], "refused"), "1");
    EXPECT_EQ(Field(loads[1], "dll"), "atiadlxy.dll");
}

TEST_F(AdlBackendTest, OnlyTheSystemDirectorysLibraryIsLoaded) {
    const simtest::CPlantedLibrary planted(L"atiadlxx.dll");
    ASSERT_TRUE(planted.IsPlanted());
    ASSERT_TRUE(Start(""));
    EXPECT_NE(simtest::ModulePath(Amd().Library()).find(L"\\system32\\atiadlxx.dll"), std::wstring::npos)
        << simtest::ModulePath(Amd().Library());
}

TEST_F(AdlBackendTest, StartUpFailures) {
    const struct {
        const char* scenario;
        std::vector<std::string> calls; // ADL calls made before giving up
    } cases[] = {
        {"fault.absent = atiadlxx.dll atiadlxy.dll\n", {}},
        {"fault.missing = ADL_Main_Control_Create\n", {}},
        {"fault.missing = ADL_Adapter_NumberOfAdapters_Get\n", {}},
        {"fault.missing = ADL_Adapter_AdapterInfo_Get\n", {}},
        {"fault.missing = ADL_Adapter_Active_Get\n", {}},
        {"fault.status.ADL_Main_Control_Create = -1\n", {"ADL_Main_Control_Create"}},
        {"fault.status.ADL_Adapter_NumberOfAdapters_Get = -2\n",
         {"ADL_Main_Control_Create", "ADL_Adapter_NumberOfAdapters_Get"}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Start(c.scenario)) << c.scenario;
        EXPECT_EQ(::GetModuleHandleW(L"atiadlxx.dll"), nullptr)
            << c.scenario << ": a library that did not come up is not kept";
        EXPECT_EQ(AdlCalls(), c.calls) << c.scenario;
    }
}

// A volatile adapter key in the real display class tree, as the driver keeps it; removed again.
class CVolatileAdapterKey {
public:
    explicit CVolatileAdapterKey(DWORD enableUlps) {
        m_strClass = L"SYSTEM\\CurrentControlSet\\Control\\Video\\{VentiqTest-" +
                     std::to_wstring(::GetCurrentProcessId()) + L"}";
        HKEY classKey = Create(HKEY_LOCAL_MACHINE, m_strClass);
        HKEY adapter = Create(classKey, L"0000");
        const wchar_t desc[] = L"Valdro simulated AMD board";
        ::RegSetValueExW(adapter, L"AdapterDesc", 0, REG_SZ, reinterpret_cast<const BYTE*>(desc),
                         sizeof desc);
        ::RegSetValueExW(adapter, L"EnableUlps", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enableUlps),
                         sizeof enableUlps);
        ::RegCloseKey(adapter);
        ::RegCloseKey(classKey);
    }
    ~CVolatileAdapterKey() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_strClass.c_str()); }

private:
    static HKEY Create(HKEY parent, const std::wstring& path) {
        HKEY key = nullptr;
        ::RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr);
        return key;
    }
    std::wstring m_strClass;
};

TEST_F(AdlBackendTest, CrossfireOnReadsTheUlpsSwitch) {
    const CVolatileAdapterKey adapterKey(1);
    const struct {
        const char* scenario;
        bool ulps;
        size_t stateQueries; // ADL_Adapter_Crossfire_Get calls
    } cases[] = {
        {"crossfire.supported = 1\ncrossfire.state = 1\n", true, 1},
        {"crossfire.supported = 1\ncrossfire.state = 0\n", false, 1},
        {"crossfire.supported = 0\ncrossfire.state = 1\n", false, 1},
        {"crossfire.supported = 1\ncrossfire.state = 1\nfault.missing = ADL_Adapter_Crossfire_Caps\n", false,
         0},
        {"crossfire.supported = 1\ncrossfire.state = 1\nfault.missing = ADL_Adapter_Crossfire_Get\n", false,
         0},
        // Without a combination list the state cannot be asked for.
        {"crossfire.supported = 1\ncrossfire.state = 1\nfault.status.ADL_Adapter_Crossfire_Caps = -1\n",
         false, 0},
    };
    for (const auto& c : cases) {
        m_dlg.m_bUlpsAtStart = true; // start-up clears both flags before the test
        m_dlg.m_bUlpsEnabled = true;
        ASSERT_TRUE(Start(c.scenario)) << c.scenario;
        EXPECT_EQ(m_dlg.m_bUlpsAtStart, c.ulps) << c.scenario;
        EXPECT_EQ(m_dlg.m_bUlpsEnabled, c.ulps) << c.scenario;
        EXPECT_EQ(m_board.Calls("ADL_Adapter_Crossfire_Get").size(), c.stateQueries) << c.scenario;
    }
}

TEST_F(AdlBackendTest, ReconnectEndsTheSessionAndChoosesTheAdapterAgain) {
    ASSERT_TRUE(Start("adapters = 2\nadapter.1.index = 7\nadapter.0.active = 0\n"));
    EXPECT_EQ(Amd().AdapterIndex(), 7);
    // Renumbered: the same two adapters, the chosen one now at 3.
    m_board.WriteScenario("adapters = 2\nadapter.0.index = 5\nadapter.0.active = 0\nadapter.1.index = 3\n");
    m_board.ClearJournal();
    EXPECT_EQ(Amd().Reconnect(), Reconnection::SameCards);
    EXPECT_EQ(Amd().AdapterIndex(), 3);
    EXPECT_EQ(AdlCalls(), (std::vector<std::string>{"ADL_Main_Control_Destroy", "ADL_Main_Control_Create",
                                                    "ADL_Adapter_NumberOfAdapters_Get",
                                                    "ADL_Adapter_AdapterInfo_Get", "ADL_Adapter_Active_Get",
                                                    "ADL_Adapter_Active_Get"}));

    m_board.WriteScenario("adapters = 3\nadapter.0.index = 4\nadapter.1.index = 7\n");
    EXPECT_EQ(Amd().Reconnect(), Reconnection::CardsChanged) << "a third adapter";
    EXPECT_EQ(Amd().AdapterIndex(), 4);
}

TEST_F(AdlBackendTest, ReconnectReportsASessionThatDoesNotOpen) {
    ASSERT_TRUE(Start(""));
    m_board.WriteScenario("fault.status.ADL_Main_Control_Create = -1\n");
    EXPECT_EQ(Amd().Reconnect(), Reconnection::Failed);
    EXPECT_NE(Amd().Library(), nullptr) << "the library stays for the next try";
}

} // namespace
