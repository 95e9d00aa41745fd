// Sleep and resume, end to end: the simulated board loses its state as a resume does, and the user's
// manual settings reach it again once, as soon as its driver answers; a suspend writes nothing.
#include "test_fan_support.h"

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

// Outer-fan settings and chip writes, in the order the board received them.
std::vector<std::string> Writes(const std::vector<std::string>& lines) {
    std::vector<std::string> writes;
    for (const std::string& line : lines) {
        if (IsCall(line, "ADL_Overdrive5_FanSpeed_Set")) {
            writes.push_back("outer=" + Field(line, "speed"));
        } else if (IsCall(line, "ADL_Overdrive5_FanSpeedToDefault_Set")) {
            writes.push_back("outer=default");
        } else if (IsCall(line, "NvApplyCoolerLevels")) {
            writes.push_back("outer=" + Field(line, "level") + "/" + Field(line, "policy"));
        } else if (!ChipWrites({line}).empty()) {
            writes.push_back(ChipWrites({line})[0]);
        }
    }
    return writes;
}

// Both fan sets manual, 45 % outside and 30 % in the middle, applied.
void ApplyManual(Board& board) {
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    ASSERT_TRUE(SetText(board.Item(kEntryOuter), L"45"));
    ASSERT_TRUE(SetText(board.Item(kEntryMiddle), L"30"));
    ASSERT_TRUE(SendCommand(board.Window(), kApply));
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

} // namespace
