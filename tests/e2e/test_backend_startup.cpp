// Vendor back ends of the whole program on the simulated board: the start-up call sequences, outcome B
// for every start-up entry point that is missing or fails, and driver libraries taken only from the
// system directory.
#include "Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

using namespace e2e;

namespace {

const char kAmdBoard[] = "1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\n";
const char kNvidiaBoard[] = "10DE;1C82;0000;0000;Valdro simulated NVIDIA board;120;100;80;60;\n";
const wchar_t kAmdDriverText[] = L"Please install the latest AMD Catalyst\u2122 drivers.";
const wchar_t kNvidiaDriverText[] = L"Please install the latest NVIDIA GeForce drivers.";

// Chooses the vendor WMI reports and puts the matching list in the installation; back to AMD after.
class VendorBoard {
public:
    VendorBoard(const Installation& install, bool nvidia) {
        SetDisplayAdapter(nvidia ? 0x10DE : 0x1002, nvidia ? 0x1C82 : 0x6719);
        install.WriteCardList(nvidia ? kNvidiaBoard : kAmdBoard);
    }
    ~VendorBoard() { SetDisplayAdapter(0x1002, 0x6719); }
};

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Journal lines of the driver calls: without library loads and interface look-ups.
std::vector<std::string> DriverCalls(const Installation& install) {
    std::vector<std::string> calls;
    for (const std::string& line : install.Journal()) {
        if (StartsWith(line, "ADL_") || StartsWith(line, "NvAPI_") || StartsWith(line, "Nv")) {
            calls.push_back(line);
        }
    }
    return calls;
}

std::string AdlRead(int adapter, int offset, int data) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "ADL_Display_WriteAndReadI2C adapter=%d size=%d line=1 address=0x5C offset=0x%02X action=1 "
                  "speed=10 datasize=1 data=0x%02X",
                  adapter, static_cast<int>(sizeof(void*) == 8 ? 40 : 32), offset, data);
    return text;
}

std::string NvRead(int reg, int data) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "NvAPI_I2CRead gpu=0 version=0x%X address=0x5C reg=0x%02X regsize=1 size=1 speed=35 port=1 "
                  "portset=1 data=0x%02X",
                  sizeof(void*) == 8 ? 0x30040u : 0x3002Cu, reg, data);
    return text;
}

std::vector<std::string> FirstN(const std::vector<std::string>& lines, size_t n) {
    return std::vector<std::string>(lines.begin(),
                                    lines.begin() + static_cast<std::ptrdiff_t>(std::min(n, lines.size())));
}

TEST(BackendStartup, AmdReachesTheRunningStateAfterTheStartUpCalls) {
    Installation install;
    const VendorBoard board(install, false);
    // Record 0 inactive, record 1 another vendor's, record 2 (index 2) the adapter to use.
    install.WriteScenario("adapters = 3\nadapter.0.active = 0\nadapter.1.vendor = 4318\n");
    AppRun app(install);
    ASSERT_NE(app.WaitMainWindow(), nullptr) << "the main window should be shown";
    EXPECT_EQ(app.WaitMessageBox(0), nullptr);
    EXPECT_EQ(FirstN(DriverCalls(install), 12),
              (std::vector<std::string>{
                  "ADL_Main_Control_Create callback=1 connected=1",
                  "ADL_Adapter_NumberOfAdapters_Get count=3",
                  "ADL_Adapter_AdapterInfo_Get size=4716",
                  "ADL_Adapter_Active_Get adapter=0 active=0",
                  "ADL_Adapter_Active_Get adapter=1 active=1",
                  "ADL_Adapter_Active_Get adapter=2 active=1",
                  "ADL_Adapter_Crossfire_Caps adapter=2 preferred=0 combinations=1",
                  "ADL_Adapter_Crossfire_Get adapter=2 comb=1 supported=0 state=0",
                  AdlRead(2, 0x85, 120),
                  AdlRead(2, 0x86, 100),
                  AdlRead(2, 0x87, 80),
                  AdlRead(2, 0x88, 60),
              }));
}

TEST(BackendStartup, AmdWithoutAQualifyingAdapterStillStarts) {
    Installation install;
    const VendorBoard board(install, false);
    install.WriteScenario("adapters = 2\nadapter.0.active = 0\nadapter.1.vendor = 4098\n");
    AppRun app(install);
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    const auto reads = install.Calls("ADL_Display_WriteAndReadI2C");
    ASSERT_GE(reads.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(StartsWith(reads[i], "ADL_Display_WriteAndReadI2C adapter=-1 ")) << reads[i];
    }
}

TEST(BackendStartup, NvidiaReachesTheRunningStateAfterTheStartUpCalls) {
    Installation install;
    const VendorBoard board(install, true);
    install.WriteScenario("card.0.reg.0x88 = 0x3D\n");
    AppRun app(install);
    ASSERT_NE(app.WaitMainWindow(), nullptr) << "the main window should be shown";
    EXPECT_EQ(FirstN(DriverCalls(install), 8), (std::vector<std::string>{
                                                   "NvAPI_Initialize",
                                                   "NvAPI_EnumPhysicalGPUs count=1",
                                                   "NvAPI_EnumNvidiaDisplayHandle index=0",
                                                   "NvAPI_GetAssociatedDisplayOutputId display=0 output=1",
                                                   NvRead(0x85, 120),
                                                   NvRead(0x86, 100),
                                                   NvRead(0x87, 80),
                                                   NvRead(0x88, 0x3D),
                                               }));
}

struct DriverFailure {
    const char* name;
    bool nvidia;
    const char* scenario;
};

void PrintTo(const DriverFailure& c, std::ostream* os) {
    *os << c.name;
}

class DriverFailureStartup : public ::testing::TestWithParam<DriverFailure> {};

TEST_P(DriverFailureStartup, ShowsTheDriverMessageAndEnds) {
    const DriverFailure& c = GetParam();
    Installation install;
    const VendorBoard board(install, c.nvidia);
    install.WriteScenario(c.scenario);
    AppRun app(install);
    const HWND box = app.WaitMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(MessageBoxText(box), c.nvidia ? kNvidiaDriverText : kAmdDriverText);
    EXPECT_EQ(app.WaitMainWindow(0), nullptr);
    PressOk(box);
    DWORD exitCode = 1;
    ASSERT_TRUE(app.WaitExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    if (!c.nvidia) {
        // A library that did not come up is never used again, not even to restore the fans.
        for (const std::string& line : install.Journal()) {
            EXPECT_FALSE(StartsWith(line, "ADL_Overdrive5") || StartsWith(line, "ADL_Display")) << line;
        }
    }
}

const DriverFailure kDriverFailures[] = {
    {"AmdCreateMissing", false, "fault.missing = ADL_Main_Control_Create\n"},
    {"AmdAdapterCountMissing", false, "fault.missing = ADL_Adapter_NumberOfAdapters_Get\n"},
    {"AmdAdapterInfoMissing", false, "fault.missing = ADL_Adapter_AdapterInfo_Get\n"},
    {"AmdActiveMissing", false, "fault.missing = ADL_Adapter_Active_Get\n"},
    {"AmdCreateFails", false, "fault.status.ADL_Main_Control_Create = -1\n"},
    {"AmdAdapterCountFails", false, "fault.status.ADL_Adapter_NumberOfAdapters_Get = -1\n"},
    {"NvidiaNoQueryInterface", true, "fault.missing = nvapi_QueryInterface\n"},
    {"NvidiaInitializeFails", true, "fault.status.NvAPI_Initialize = -1\n"},
    {"NvidiaNoGpus", true, "fault.status.NvAPI_EnumPhysicalGPUs = -6\n"},
    {"NvidiaNoDisplay", true, "displays = 0\n"},
    {"NvidiaOutputIdMissing", true, "fault.missing = NvAPI_GetAssociatedDisplayOutputId\n"},
    {"NvidiaOutputIdFails", true, "fault.status.NvAPI_GetAssociatedDisplayOutputId = -8\n"},
};

INSTANTIATE_TEST_SUITE_P(Outcomes, DriverFailureStartup, ::testing::ValuesIn(kDriverFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// A copy of Ventiq.exe in the installation directory, with driver libraries planted beside it (which
// is also its working directory), started with the board's environment.
class PlantedRun {
public:
    PlantedRun(const Installation& install, const std::vector<std::wstring>& planted) {
        ::CopyFileW(BuildPath(L"Ventiq.exe").c_str(), (install.Dir() + L"\\Ventiq.exe").c_str(), FALSE);
        for (const std::wstring& dll : planted) {
            ::CopyFileW(BuildPath(L"sim\\" + dll).c_str(), (install.Dir() + L"\\" + dll).c_str(), FALSE);
        }
        ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", install.ScenarioPath().c_str());
        ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", install.JournalPath().c_str());
        const std::wstring exe = install.Dir() + L"\\Ventiq.exe";
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        ::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         install.Dir().c_str(), &startup, &m_info);
    }
    ~PlantedRun() {
        if (m_info.hProcess != nullptr) {
            ::TerminateProcess(m_info.hProcess, 1);
            ::WaitForSingleObject(m_info.hProcess, 5000);
            ::CloseHandle(m_info.hThread);
            ::CloseHandle(m_info.hProcess);
        }
    }
    PlantedRun(const PlantedRun&) = delete;
    PlantedRun& operator=(const PlantedRun&) = delete;

    // True once the journal shows the start-up reached the chip's saved registers.
    static bool WaitStarted(const Installation& install, const std::string& readCall) {
        for (int i = 0; i < 400; ++i) {
            if (install.Calls(readCall).size() >= 4) {
                return true;
            }
            Pump(50);
        }
        return false;
    }

private:
    PROCESS_INFORMATION m_info{};
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

void ExpectLoadsOnlyFromSystem32(const Installation& install) {
    const auto loads = install.Calls("load");
    ASSERT_FALSE(loads.empty());
    for (const std::string& line : loads) {
        EXPECT_NE(Lower(line).find("\\windows\\system32\\"), std::string::npos) << line;
    }
}

TEST(BackendStartup, AmdLibraryPlantedBesideTheProgramIsNotLoaded) {
    Installation install;
    const VendorBoard board(install, false);
    const PlantedRun run(install, {L"atiadlxx.dll", L"atiadlxy.dll"});
    ASSERT_TRUE(PlantedRun::WaitStarted(install, "ADL_Display_WriteAndReadI2C"));
    ExpectLoadsOnlyFromSystem32(install);
}

TEST(BackendStartup, NvidiaLibraryPlantedBesideTheProgramIsNotLoaded) {
    Installation install;
    const VendorBoard board(install, true);
    const PlantedRun run(install, {sizeof(void*) == 8 ? L"nvapi64.dll" : L"nvapi.dll"});
    ASSERT_TRUE(PlantedRun::WaitStarted(install, "NvAPI_I2CRead"));
    ExpectLoadsOnlyFromSystem32(install);
}

// The board's own tools and faults, as later suites use them.
TEST(SimulatedBoard, DeviceToolJournalsItsCommandLine) {
    Installation install;
    install.AddDeviceTools();
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", install.JournalPath().c_str());
    const std::wstring tool = install.Dir() + L"\\devcon64.exe";
    std::wstring commandLine = L"\"" + tool + L"\" restart *DEV_6719*";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(tool.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info));
    ASSERT_EQ(::WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(info.hProcess, &exitCode);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(install.Journal(), (std::vector<std::string>{"devcon devcon64.exe restart *DEV_6719*"}));
}

TEST(SimulatedBoard, CrashFaultEndsTheProgramWithAnAccessViolation) {
    Installation install;
    const VendorBoard board(install, false);
    install.WriteScenario("fault.crash.ADL_Adapter_Active_Get = 1\n");
    AppRun app(install);
    DWORD exitCode = 0;
    ASSERT_TRUE(app.WaitExit(20000, &exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_EQ(install.Calls("ADL_Adapter_Active_Get").size(), 1u) << "the call is journaled before the fault";
}

} // namespace
