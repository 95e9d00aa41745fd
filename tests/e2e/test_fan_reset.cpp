// The Auto toggles and RESET, end to end: a toggle changes only the window and the mode, RESET hands
// both fan sets back to the driver and the chip at once.
#include "test_fan_support.h"

using namespace e2e;
using namespace e2e::fan;

namespace {

// Calls that change the hardware: fan settings and chip writes.
std::vector<std::string> HardwareWrites(const std::vector<std::string>& lines) {
    std::vector<std::string> writes;
    for (const std::string& line : lines) {
        if (IsCall(line, "ADL_Overdrive5_FanSpeed_Set") ||
            IsCall(line, "ADL_Overdrive5_FanSpeedToDefault_Set") || IsCall(line, "NvApplyCoolerLevels") ||
            IsCall(line, "NvAPI_I2CWrite") ||
            (IsCall(line, "ADL_Display_WriteAndReadI2C") && Field(line, "action") == "2")) {
            writes.push_back(line);
        }
    }
    return writes;
}

struct ToggleCase {
    const char* name;
    int button;
    int entry;
};

void PrintTo(const ToggleCase& c, std::ostream* os) {
    *os << c.name;
}

class AutoToggle : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(AutoToggle, ChangesTheModeOnlyAndLightsApplyOnTheWayBack) {
    const ToggleCase& c = GetParam();
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    ParkMouse();
    const HWND button = board.Item(c.button);
    const size_t mark = Mark(board.Install());

    ASSERT_TRUE(SendCommand(board.Window(), c.button));
    EXPECT_TRUE(board.Enabled(c.entry)) << "manual: the box takes input";
    EXPECT_TRUE(WaitLook(AutoLit, button, false));
    EXPECT_FALSE(board.Enabled(kApply)) << "switching to manual does not light APPLY";

    ASSERT_TRUE(SendCommand(board.Window(), c.button));
    EXPECT_FALSE(board.Enabled(c.entry));
    EXPECT_TRUE(WaitLook(AutoLit, button, true));
    EXPECT_TRUE(board.Enabled(kApply)) << "back to automatic waits to be applied";
    EXPECT_TRUE(WaitLook(ButtonLit, board.Item(kApply), true));

    EXPECT_TRUE(HardwareWrites(Since(board.Install(), mark)).empty())
        << "a toggle never reaches the hardware";
}

const ToggleCase kToggleCases[] = {
    {"OuterFans", kAuto1, kEntryOuter},
    {"MiddleFan", kAuto2, kEntryMiddle},
};

INSTANTIATE_TEST_SUITE_P(Amd, AutoToggle, ::testing::ValuesIn(kToggleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Reset, BothSetsManualReturnToTheDriverAndTheChip) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    ParkMouse();
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    ::PostMessageW(board.Window(), 0x28D1, kSliderMiddle, 0);
    ASSERT_TRUE(WaitUntil([&] { return board.Enabled(kApply); }));

    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(SendCommand(board.Window(), kReset));
    const auto lines = Since(board.Install(), mark);
    EXPECT_EQ(Only(lines, "ADL_Overdrive5_FanSpeedToDefault_Set"),
              std::vector<std::string>{"ADL_Overdrive5_FanSpeedToDefault_Set adapter=0 thermal=0"});
    EXPECT_EQ(ChipWrites(lines), kDefaultsWritten);

    EXPECT_FALSE(board.Enabled(kEntryOuter));
    EXPECT_FALSE(board.Enabled(kEntryMiddle));
    EXPECT_TRUE(WaitLook(AutoLit, board.Item(kAuto1), true));
    EXPECT_TRUE(WaitLook(AutoLit, board.Item(kAuto2), true));
    EXPECT_FALSE(board.Enabled(kApply)) << "nothing is left to apply";
    EXPECT_FALSE(board.Enabled(kReset));
    EXPECT_TRUE(WaitLook(ButtonLit, board.Item(kReset), false));
}

TEST(Reset, AlreadyAutomaticStillWritesTheDefaults) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(SendCommand(board.Window(), kReset));
    const auto lines = Since(board.Install(), mark);
    EXPECT_EQ(Only(lines, "ADL_Overdrive5_FanSpeedToDefault_Set").size(), 1u);
    EXPECT_EQ(ChipWrites(lines), kDefaultsWritten);
    EXPECT_FALSE(board.Enabled(kReset));
}

TEST(Reset, WithoutAChipOnlyTheDriverFanIsReset) {
    Board board(Vendor::Amd, "card.0.reg.0x60 = 0\n");
    ASSERT_TRUE(WaitStarted(board));
    ParkMouse();
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    // A click on the middle fan's readout still toggles its mode; RESET leaves it alone.
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(SendCommand(board.Window(), kReset));
    const auto lines = Since(board.Install(), mark);
    EXPECT_EQ(Only(lines, "ADL_Overdrive5_FanSpeedToDefault_Set").size(), 1u);
    EXPECT_TRUE(ChipWrites(lines).empty()) << "no chip, no register writes";
    EXPECT_TRUE(Only(lines, "ADL_Display_WriteAndReadI2C").empty());
    EXPECT_FALSE(board.Enabled(kAuto2)) << "the middle fan's controls stay disabled";
    EXPECT_FALSE(board.Enabled(kReset));
    EXPECT_TRUE(WaitLook(ButtonLit, board.Item(kReset), false));
    EXPECT_TRUE(WaitLook(AutoLit, board.Item(kAuto1), true));
}

TEST(Reset, NvidiaHandsTheCoolerToTheDriver) {
    Board board(Vendor::Nvidia, "card.0.cooler.policy = 1\n");
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(board.Enabled(kReset));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(SendCommand(board.Window(), kReset));
    const auto lines = Since(board.Install(), mark);
    EXPECT_EQ(
        Only(lines, "NvApplyCoolerLevels"),
        std::vector<std::string>{"NvApplyCoolerLevels gpu=0 cooler=7 version=0x100A4 level=0 policy=32"});
    EXPECT_EQ(ChipWrites(lines), kDefaultsWritten);
    EXPECT_FALSE(board.Enabled(kEntryOuter));
    EXPECT_FALSE(board.Enabled(kReset));
}

TEST(Reset, ApplyAfterAToggleBackHandsTheFansToTheDriverAgain) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(SendCommand(board.Window(), kApply));
    const auto lines = Since(board.Install(), mark);
    EXPECT_EQ(Only(lines, "ADL_Overdrive5_FanSpeedToDefault_Set").size(), 1u);
    EXPECT_TRUE(Only(lines, "ADL_Overdrive5_FanSpeed_Set").empty());
}

} // namespace
