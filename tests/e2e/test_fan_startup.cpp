// The starting mode of each fan set, end to end: outer fans automatic on AMD and by the cooler policy
// on NVIDIA, the middle fan by the chip's saved control registers, and no chip at all.
#include "test_fan_support.h"

using namespace e2e;
using namespace e2e::fan;

namespace {

enum class Middle { Automatic, Manual, NoChip };

struct StartCase {
    const char* name;
    Vendor vendor;
    const char* scenario;
    bool outerAutomatic;
    Middle middle;
    const wchar_t* outerEntry;
    const wchar_t* middleEntry;
};

void PrintTo(const StartCase& c, std::ostream* os) {
    *os << c.name;
}

class StartMode : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartMode, ControlsShowTheModeOfEachFanSet) {
    const StartCase& c = GetParam();
    Board board(c.vendor, c.scenario);
    ASSERT_TRUE(WaitStarted(board));
    ParkMouse();

    EXPECT_EQ(board.Text(kEntryOuter), c.outerEntry);
    EXPECT_EQ(board.Text(kEntryMiddle), c.middleEntry);

    EXPECT_EQ(board.Enabled(kEntryOuter), !c.outerAutomatic)
        << "entry 1010 is disabled exactly while automatic";
    EXPECT_TRUE(board.Enabled(kAuto1));
    EXPECT_TRUE(WaitLook(AutoLit, board.Item(kAuto1), c.outerAutomatic))
        << "Auto1 lit exactly while automatic";
    EXPECT_TRUE(board.Enabled(kFan1Zone));
    EXPECT_TRUE(board.Enabled(kFan2Zone));

    EXPECT_EQ(board.Enabled(kEntryMiddle), c.middle == Middle::Manual);
    EXPECT_EQ(board.Enabled(kAuto2), c.middle != Middle::NoChip);
    EXPECT_EQ(board.Enabled(kFan3Zone), c.middle != Middle::NoChip);
    EXPECT_TRUE(WaitLook(AutoLit, board.Item(kAuto2), c.middle == Middle::Automatic));

    const bool anyManual = !c.outerAutomatic || c.middle == Middle::Manual;
    EXPECT_EQ(board.Enabled(kReset), anyManual) << "RESET is enabled while a fan set is manual";
    EXPECT_TRUE(WaitLook(ButtonLit, board.Item(kReset), anyManual));
    EXPECT_FALSE(board.Enabled(kApply)) << "nothing waits to be applied at start-up";
}

constexpr char kEqualRegisters[] = "card.0.reg.0x85 = 120\ncard.0.reg.0x86 = 120\n"
                                   "card.0.reg.0x87 = 120\ncard.0.reg.0x88 = 120\n";

const StartCase kStartCases[] = {
    // Default chip: duty 102 (40 %), control registers 120, 100, 80, 60.
    {"AmdDefaultBoard", Vendor::Amd, "card.0.fan = 55\n", true, Middle::Automatic, L"55", L"40"},
    {"AmdEqualRegistersLeaveTheMiddleFanManual", Vendor::Amd, kEqualRegisters, true, Middle::Manual, L"40",
     L"40"},
    {"AmdTwoRegistersDifferKeepsItAutomatic", Vendor::Amd,
     "card.0.reg.0x85 = 120\ncard.0.reg.0x86 = 120\ncard.0.reg.0x87 = 120\ncard.0.reg.0x88 = 119\n", true,
     Middle::Automatic, L"40", L"40"},
    {"AmdDutyZeroMeansNoChip", Vendor::Amd, "card.0.reg.0x60 = 0\n", true, Middle::NoChip, L"40", L"0"},
    {"AmdChipAbsent", Vendor::Amd, "card.0.chip = 0\n", true, Middle::NoChip, L"40", L"0"},
    {"AmdDuty76ReadsThirty", Vendor::Amd, "card.0.reg.0x60 = 76\n", true, Middle::Automatic, L"40", L"30"},
    {"NvidiaPolicy1IsManual", Vendor::Nvidia, "card.0.cooler.policy = 1\ncard.0.cooler.level = 62\n", false,
     Middle::Automatic, L"62", L"40"},
    {"NvidiaPolicy8IsAutomatic", Vendor::Nvidia, "card.0.cooler.policy = 8\n", true, Middle::Automatic, L"40",
     L"40"},
    {"NvidiaPolicy16IsAutomatic", Vendor::Nvidia, "card.0.cooler.policy = 16\n", true, Middle::Automatic,
     L"40", L"40"},
    // A policy the program does not know leaves the fans to the driver and says so.
    {"NvidiaUnknownPolicyStartsAutomatic", Vendor::Nvidia, "card.0.cooler.policy = 4\n", true,
     Middle::Automatic, L"40", L"40"},
    {"NvidiaEqualRegistersAndPolicy1", Vendor::Nvidia,
     "card.0.cooler.policy = 1\ncard.0.reg.0x85 = 90\ncard.0.reg.0x86 = 90\ncard.0.reg.0x87 = 90\n"
     "card.0.reg.0x88 = 90\n",
     false, Middle::Manual, L"40", L"40"},
    {"NvidiaChipAbsent", Vendor::Nvidia, "card.0.chip = 0\n", true, Middle::NoChip, L"40", L"0"},
};

INSTANTIATE_TEST_SUITE_P(Boards, StartMode, ::testing::ValuesIn(kStartCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartRegisters, SavedRegistersAreReadOnceBeforeTheFirstReadings) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    std::vector<std::string> offsets;
    for (const std::string& line : Only(board.Install().Journal(), "ADL_Display_WriteAndReadI2C")) {
        offsets.push_back(Field(line, "offset"));
        if (offsets.size() == 5) {
            break;
        }
    }
    const std::vector<std::string> expected = {"0x85", "0x86", "0x87", "0x88", "0x60"};
    EXPECT_EQ(offsets, expected);
}

TEST(StartRegisters, WithoutAChipNoTickTouchesTheBus) {
    Board board(Vendor::Amd, "card.0.reg.0x60 = 0\n");
    ASSERT_TRUE(WaitStarted(board));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(Tick(board.Window()));
    ASSERT_TRUE(Tick(board.Window()));
    const std::vector<std::string> lines = Since(board.Install(), mark);
    EXPECT_FALSE(Only(lines, "ADL_Overdrive5_FanSpeed_Get").empty());
    EXPECT_TRUE(Only(lines, "ADL_Display_WriteAndReadI2C").empty()) << "the chip is absent for the whole run";
    EXPECT_EQ(board.Text(kZone3Speed), L"");
    EXPECT_EQ(board.Text(kPwmTemp), L"");
}

} // namespace
