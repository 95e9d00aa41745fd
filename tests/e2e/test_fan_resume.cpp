// Sleep, resume and driver restarts, end to end: the simulated board loses its state as a resume does,
// and the user's manual settings reach it again once its driver answers and takes them; a suspend
// writes nothing; a restart that gives the GPUs new handles is followed by a new session and guardian.
#include "test_fan_support.h"

#include <map>

using namespace e2e;
using namespace e2e::fan;

namespace {

constexpr char kCoolModule[] = "card.0.reg.0x02 = 40\n";

struct ResumeCase {
    Vendor vendor;
    // Every call the driver refuses while it comes back.
    const char* refusals;
    // The settings as the board receives them: outer fans, then the middle fan's fixed duty.
    std::vector<std::string> settings;
};

const ResumeCase kCases[] = {
    {Vendor::Amd,
     "fault.status.ADL_Overdrive5_Temperature_Get = -1\nfault.status.ADL_Overdrive5_FanSpeed_Set = -1\n"
     "fault.status.ADL_Display_WriteAndReadI2C = -1\n",
     {"outer=45", "0x85=0x4C", "0x86=0x4C"}},
    {Vendor::Nvidia,
     "fault.status.NvAPI_GPU_GetThermalSettings = -1\nfault.status.NvApplyCoolerLevels = -1\n"
     "fault.status.NvAPI_I2CRead = -1\nfault.status.NvAPI_I2CWrite = -1\n",
     {"outer=45/1", "0x85=0x4C", "0x86=0x4C"}},
};

void PrintTo(const ResumeCase& c, std::ostream* os) {
    *os << window::VendorName(c.vendor);
}

// Both fan sets manual, 45 % outside and 30 % in the middle, applied.
void ApplyManual(Board& board) {
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    ASSERT_TRUE(SetText(board.Item(kEntryOuter), L"45"));
    ASSERT_TRUE(SetText(board.Item(kEntryMiddle), L"30"));
    ASSERT_TRUE(SendCommand(board.Window(), kApply));
    // A reading of the fans as set, as every second brings.
    ASSERT_TRUE(Tick(board.Window()));
}

void Power(HWND window, WPARAM event) {
    ::PostMessageW(window, WM_POWERBROADCAST, event, 0);
}

class Resume : public testing::TestWithParam<ResumeCase> {};

TEST_P(Resume, SuspendWritesNothingAndResumeWritesTheSettingsOnce) {
    Board board(GetParam().vendor, kCoolModule);
    ApplyManual(board);
    const size_t mark = Mark(board.Install());
    Power(board.Window(), PBT_APMSUSPEND);
    board.Install().WriteScenario(std::string(kCoolModule) + "power.cycle = 1\n");
    ASSERT_TRUE(Tick(board.Window()));
    ASSERT_EQ(Only(Since(board.Install(), mark), "power-cycle").size(), 1u) << "the board lost its state";
    Pump(1500);
    EXPECT_TRUE(Writes(Since(board.Install(), mark)).empty()) << "a suspend writes nothing";

    // A user's resume brings a second broadcast once the user is back; the settings go back once.
    Power(board.Window(), PBT_APMRESUMEAUTOMATIC);
    EXPECT_TRUE(WaitUntil([&] { return Writes(Since(board.Install(), mark)).size() >= 3; }, 5000));
    Power(board.Window(), PBT_APMRESUMESUSPEND);
    Pump(2000);
    EXPECT_EQ(Writes(Since(board.Install(), mark)), GetParam().settings);
}

TEST_P(Resume, SettingsWaitForTheDriverWhileTheWindowStaysResponsive) {
    Board board(GetParam().vendor, kCoolModule);
    ApplyManual(board);
    const size_t mark = Mark(board.Install());
    board.Install().WriteScenario(std::string(kCoolModule) + "power.cycle = 1\n" + GetParam().refusals);
    Power(board.Window(), PBT_APMRESUMEAUTOMATIC);

    // Three seconds of a driver that refuses every call: probed, never written to, and the window
    // answers at once throughout.
    const ULONGLONG until = ::GetTickCount64() + 3000;
    while (::GetTickCount64() < until) {
        DWORD_PTR result = 0;
        ASSERT_NE(::SendMessageTimeoutW(board.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 300, &result), 0u);
        Pump(100);
    }
    EXPECT_TRUE(Writes(Since(board.Install(), mark)).empty());
    EXPECT_GE(Only(Since(board.Install(), mark), "power-cycle").size(), 1u);

    const size_t answering = Mark(board.Install());
    board.Install().WriteScenario(std::string(kCoolModule) + "power.cycle = 1\n");
    EXPECT_TRUE(WaitUntil([&] { return Writes(Since(board.Install(), answering)).size() >= 3; }, 5000));
    Pump(1500);
    EXPECT_EQ(Writes(Since(board.Install(), answering)), GetParam().settings);
}

INSTANTIATE_TEST_SUITE_P(Vendors, Resume, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ResumeCase>& info) {
                             return std::string(window::VendorName(info.param.vendor));
                         });

struct ComebackCase {
    const char* name;
    Vendor vendor;
    bool resume; // else a display change
    // What the board does for two seconds after the event, then from then on (with the power cycle).
    const char* comingBack;
    const char* back;
    std::map<std::string, std::string> settings;
};

void PrintTo(const ComebackCase& c, std::ostream* os) {
    *os << c.name;
}

class DriverComesBack : public testing::TestWithParam<ComebackCase> {};

TEST_P(DriverComesBack, TheSettingsReachTheHardwareOnceItTakesThemWithoutAMessage) {
    const ComebackCase& c = GetParam();
    Board board(c.vendor, kCoolModule);
    ApplyManual(board);
    const std::vector<DWORD> guardians = Processes(L"VentiqGuard.exe");
    const size_t mark = Mark(board.Install());
    board.Install().WriteScenario(std::string(kCoolModule) + "power.cycle = 1\n" + c.comingBack);
    if (c.resume) {
        Power(board.Window(), PBT_APMRESUMEAUTOMATIC);
    } else {
        ::PostMessageW(board.Window(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    }
    Pump(2000);
    board.Install().WriteScenario(std::string(kCoolModule) + "power.cycle = 1\n" + c.back);
    EXPECT_TRUE(WaitUntil([&] { return LastWrites(Since(board.Install(), mark)) == c.settings; }, 8000));
    ASSERT_TRUE(Tick(board.Window()));
    EXPECT_FALSE(board.Text(kGpuTemp).empty()) << "the readings are back";
    EXPECT_EQ(board.App().WaitMessageBox(0), nullptr) << "never a box from the background";
    EXPECT_FALSE(AutoLit(board.Item(kAuto2))) << "the middle fan is still manual";
    const std::vector<DWORD> now = Processes(L"VentiqGuard.exe");
    EXPECT_TRUE(now.size() == 1 && now != guardians) << "a new guardian for the new session";
}

const std::map<std::string, std::string> kAmdSettings = {{"outer", "45"}, {"0x85", "0x4C"}, {"0x86", "0x4C"}};

const ComebackCase kComebacks[] = {
    {"AmdFanWritesRefused", Vendor::Amd, true, "fault.status.ADL_Overdrive5_FanSpeed_Set = -1\n", "", kAmdSettings},
    {"AmdChipAnswersLater", Vendor::Amd, true, "fault.status.ADL_Display_WriteAndReadI2C = -1\n", "", kAmdSettings},
    {"NvidiaRestartWithNewHandles", Vendor::Nvidia, false, "power.newhandles = 1\n", "power.newhandles = 1\n",
     {{"outer", "45/1"}, {"0x85", "0x4C"}, {"0x86", "0x4C"}}},
};

INSTANTIATE_TEST_SUITE_P(Events, DriverComesBack, testing::ValuesIn(kComebacks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
