// The NVIDIA access layer and back end on the simulated board: loading and status rules, interfaces
// fetched once, the start-up test and the readouts.
#include "hw/NvidiaFanHardware.h"
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

using simtest::Field;

namespace {

class NvApiTest : public ::testing::Test {
protected:
    void TearDown() override { m_nvApi.Unload(); }

    void Use(const std::string& scenario) {
        m_board.WriteScenario(scenario);
        m_board.ClearJournal();
    }

    simtest::CScratchBoard m_board;
    CNvApi m_nvApi;
};

TEST_F(NvApiTest, UnloadWithoutInitialisationDoesNothing) {
    EXPECT_EQ(m_nvApi.Unload(), kNvApiNotInitialized);
    EXPECT_TRUE(m_board.Journal().empty());
}

TEST_F(NvApiTest, AbsentLibraryIsRememberedForTheRun) {
    Use(std::string("fault.absent = ") + simtest::kNvApiDll + "\n");
    EXPECT_EQ(m_nvApi.Initialize(), kNvLibraryNotFound);
    // The library appears, but the layer does not try again.
    m_board.WriteScenario("");
    NV_GPU_THERMAL_SETTINGS settings{};
    settings.version = NV_GPU_THERMAL_SETTINGS_VER;
    EXPECT_EQ(m_nvApi.GetThermalSettings(nullptr, 0, &settings), kNvLibraryNotFound);
    EXPECT_EQ(m_nvApi.Initialize(), kNvLibraryNotFound);
    EXPECT_EQ(m_nvApi.Unload(), kNvApiNotInitialized);
    EXPECT_EQ(m_board.Calls("load").size(), 1u);
}

TEST_F(NvApiTest, UnusableLibraryIsReleased) {
    const struct {
        const char* scenario;
    } cases[] = {
        {"fault.missing = nvapi_QueryInterface\n"},
        {"fault.missing = NvAPI_Initialize\n"},
        {"fault.missing = 0x0150E828\n"},
        {"fault.status.NvAPI_Initialize = -6\n"},
    };
    for (const auto& c : cases) {
        Use(c.scenario);
        EXPECT_EQ(m_nvApi.Initialize(), kNvLibraryError) << c.scenario;
        EXPECT_EQ(::GetModuleHandleW(simtest::kNvApiDllW), nullptr) << c.scenario;
        EXPECT_EQ(m_nvApi.Unload(), kNvApiNotInitialized) << c.scenario;
    }
}

TEST_F(NvApiTest, MissingInterfaceIsNeverCalled) {
    Use("fault.missing = NvQueryCoolerState\n");
    ASSERT_EQ(m_nvApi.Initialize(), 0);
    NvPhysicalGpuHandle gpus[64] = {};
    NvU32 count = 0;
    ASSERT_EQ(m_nvApi.EnumPhysicalGPUs(gpus, &count), 0);
    NvCoolerStateRecord state{};
    state.version = NvCoolerStateRecordVersion;
    EXPECT_EQ(m_nvApi.QueryCoolerState(gpus[0], 0, &state), kNvNoImplementation);
    EXPECT_EQ(m_nvApi.QueryCoolerState(gpus[0], 0, &state), kNvNoImplementation);
    EXPECT_TRUE(m_board.Calls("NvQueryCoolerState").empty());
}

TEST_F(NvApiTest, InterfacesAreFetchedOnceAndKept) {
    Use("card.0.temperature = 61.9\n");
    NvPhysicalGpuHandle gpus[64] = {};
    NvU32 count = 0;
    ASSERT_EQ(m_nvApi.EnumPhysicalGPUs(gpus, &count), 0) << "the first operation loads and initialises";
    for (int i = 0; i < 3; ++i) {
        NV_GPU_THERMAL_SETTINGS settings{};
        settings.version = NV_GPU_THERMAL_SETTINGS_VER;
        ASSERT_EQ(m_nvApi.GetThermalSettings(gpus[0], 0, &settings), 0);
        EXPECT_EQ(settings.sensor[0].currentTemp, 61);
    }
    EXPECT_EQ(m_board.Calls("NvAPI_Initialize").size(), 1u);
    EXPECT_EQ(m_board.Calls("NvAPI_GPU_GetThermalSettings").size(), 3u);
    std::vector<std::string> fetched;
    for (const std::string& line : m_board.Calls("nvapi_QueryInterface")) {
        fetched.push_back(Field(line, "name"));
    }
    EXPECT_EQ(fetched, (std::vector<std::string>{"NvAPI_Initialize", "NvAPI_EnumPhysicalGPUs",
                                                 "NvAPI_GPU_GetThermalSettings"}));
}

TEST_F(NvApiTest, UnloadReleasesTheLibraryAndAllowsANewStart) {
    Use("");
    ASSERT_EQ(m_nvApi.Initialize(), 0);
    ASSERT_NE(::GetModuleHandleW(simtest::kNvApiDllW), nullptr);
    EXPECT_EQ(m_nvApi.Unload(), 0);
    EXPECT_EQ(::GetModuleHandleW(simtest::kNvApiDllW), nullptr);
    EXPECT_EQ(m_board.Calls("NvAPI_Unload").size(), 1u);
    EXPECT_EQ(m_nvApi.Unload(), kNvApiNotInitialized);
    EXPECT_EQ(m_nvApi.Initialize(), 0);
}

TEST_F(NvApiTest, OnlyTheSystemDirectorysLibraryIsLoaded) {
    const simtest::CPlantedLibrary planted(simtest::kNvApiDllW);
    ASSERT_TRUE(planted.IsPlanted());
    Use("");
    ASSERT_EQ(m_nvApi.Initialize(), 0);
    const std::wstring path = simtest::ModulePath(::GetModuleHandleW(simtest::kNvApiDllW));
    EXPECT_NE(path.find(L"\\system32\\"), std::wstring::npos) << path;
}

TEST_F(NvApiTest, AlreadyLoadedLibraryIsUsedAndLeftToItsOwner) {
    Use("");
    const HMODULE own = simtest::LoadSystemLibrary(simtest::kNvApiDllW);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(m_nvApi.Initialize(), 0);
    EXPECT_EQ(m_nvApi.Unload(), 0);
    EXPECT_EQ(::GetModuleHandleW(simtest::kNvApiDllW), own);
    EXPECT_EQ(m_board.Calls("load").size(), 1u);
    ::FreeLibrary(own);
}

class NvidiaBackendTest : public ::testing::Test {
protected:
    bool Start(const std::string& scenario, FanCards cards = FanCards{1, {1}, {}}) {
        m_pHardware.reset();
        m_board.WriteScenario(scenario);
        m_board.ClearJournal();
        m_pHardware = CNvidiaFanHardware::Start(cards);
        return m_pHardware != nullptr;
    }

    // Driver calls, without the interface look-ups.
    std::vector<std::string> DriverCalls() const {
        std::vector<std::string> calls;
        for (const std::string& line : m_board.Journal()) {
            const std::string name = line.substr(0, line.find(' '));
            if (name != "nvapi_QueryInterface" && name != "load" && name != "unload") {
                calls.push_back(name);
            }
        }
        return calls;
    }

    simtest::CScratchBoard m_board;
    std::unique_ptr<CNvidiaFanHardware> m_pHardware;
};

const std::vector<std::string> kStartCalls = {"NvAPI_Initialize", "NvAPI_EnumPhysicalGPUs",
                                              "NvAPI_EnumNvidiaDisplayHandle",
                                              "NvAPI_GetAssociatedDisplayOutputId"};

TEST_F(NvidiaBackendTest, StartsWithFourCallsInOrder) {
    ASSERT_TRUE(Start("cards = 3\n"));
    EXPECT_EQ(DriverCalls(), kStartCalls);
    EXPECT_EQ(m_pHardware->GpuCount(), 3u);
    EXPECT_NE(m_pHardware->Gpu(0), nullptr);
    EXPECT_NE(m_pHardware->Gpu(2), m_pHardware->Gpu(1));
    EXPECT_EQ(m_pHardware->OutputId(), 1u);
    EXPECT_EQ(Field(m_board.Calls("NvAPI_EnumNvidiaDisplayHandle").at(0), "index"), "0");
}

TEST_F(NvidiaBackendTest, AnyFailingCallFailsStartUpButAllFourAreMade) {
    const char* scenarios[] = {
        "fault.status.NvAPI_EnumPhysicalGPUs = -6\n",
        "fault.status.NvAPI_EnumNvidiaDisplayHandle = -7\n",
        "displays = 0\n",
        "fault.status.NvAPI_GetAssociatedDisplayOutputId = -1\n",
        "fault.missing = NvAPI_GetAssociatedDisplayOutputId\n",
    };
    for (const char* scenario : scenarios) {
        EXPECT_FALSE(Start(scenario)) << scenario;
        const auto calls = DriverCalls();
        for (const std::string& call : kStartCalls) {
            if (std::string(scenario).find("missing = " + call) == std::string::npos) {
                EXPECT_EQ(std::count(calls.begin(), calls.end(), call), 1) << scenario << ": " << call;
            }
        }
    }
}

TEST_F(NvidiaBackendTest, NoLibraryOrNoInitialisationFailsStartUp) {
    // A failed initialisation is tried again by each call; an absent library is not (so it comes last).
    EXPECT_FALSE(Start("fault.status.NvAPI_Initialize = -1\n"));
    EXPECT_EQ(DriverCalls(), (std::vector<std::string>(4, "NvAPI_Initialize")));
    EXPECT_FALSE(Start("fault.missing = nvapi_QueryInterface\n"));
    EXPECT_TRUE(DriverCalls().empty());
    EXPECT_FALSE(Start(std::string("fault.absent = ") + simtest::kNvApiDll + "\n"));
    EXPECT_EQ(m_board.Calls("load").size(), 1u) << "an absent library is looked for once";
}

TEST_F(NvidiaBackendTest, FirstGpuReadings) {
    ASSERT_TRUE(Start("card.0.temperature = 61.9\ncard.1.temperature = 80\ncards = 2\n"
                      "card.0.cooler.level = 55\ncard.0.cooler.policy = 1\n"));
    EXPECT_EQ(m_pHardware->ReadGpuTemperature(), 61);
    EXPECT_EQ(m_board.Calls("NvAPI_GPU_GetThermalSettings").at(0),
              "NvAPI_GPU_GetThermalSettings gpu=0 sensor=0 version=0x20044 temperature=61");
    const std::optional<OuterFanReading> cooler = m_pHardware->ReadOuterFans();
    ASSERT_TRUE(cooler.has_value());
    EXPECT_EQ(cooler->m_nPercent, 55);
    EXPECT_EQ(cooler->m_nPolicy, 1);
    EXPECT_EQ(m_board.Calls("NvQueryCoolerState").at(0),
              "NvQueryCoolerState gpu=0 cooler=0 version=0x30508 level=55 policy=1");

    m_board.WriteScenario(
        "fault.status.NvAPI_GPU_GetThermalSettings = -5\nfault.status.NvQueryCoolerState = -5\n");
    EXPECT_EQ(m_pHardware->ReadGpuTemperature(), std::nullopt);
    EXPECT_EQ(m_pHardware->ReadOuterFans().has_value(), false);
}

TEST_F(NvidiaBackendTest, CoolerLevelsGoOnlyToMatchedCards) {
    ASSERT_TRUE(Start("cards = 3\n", FanCards{3, {0, 1, 0}, {}}));
    m_pHardware->SetOuterFanPercent(45);
    EXPECT_EQ(
        m_board.Calls("NvApplyCoolerLevels"),
        (std::vector<std::string>{"NvApplyCoolerLevels gpu=1 cooler=7 version=0x100A4 level=45 policy=1"}));

    ASSERT_TRUE(Start("cards = 3\nfault.status.NvApplyCoolerLevels = -1\n", FanCards{2, {1, 1, 1}, {}}));
    m_pHardware->SetOuterFanDefault();
    const auto calls = m_board.Calls("NvApplyCoolerLevels");
    ASSERT_EQ(calls.size(), 2u) << "cards beyond the count are not touched";
    EXPECT_EQ(Field(calls[1], "policy"), "32");
}

} // namespace
