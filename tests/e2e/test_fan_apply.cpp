// APPLY, end to end: both fan sets written in their modes on every press, the protection rule for a
// hot PWM module on AMD boards (and none on NVIDIA), the 20..100 hold on the entry texts, and the
// drag notification that marks a set as edited.
#include "test_fan_support.h"

using namespace e2e;
using namespace e2e::fan;

namespace {

const wchar_t kProtectionText[] = L"Based on the protection mechanism, the fan speed of the middle fan "
                                  L"can\u2019t be turned down manually while "
                                  L"the temperature of the PWM module is standing high.";
const wchar_t kUnreadableText[] = L"Based on the protection mechanism, the fan speed of the middle fan "
                                  L"can\u2019t be set manually while the temperature of the PWM module "
                                  L"cannot be read.";

// Switches the given sets to manual, fills the boxes and presses APPLY; the journal of the press.
std::vector<std::string> Apply(Board& board, bool outerManual, bool middleManual, const std::wstring& outer,
                               const std::wstring& middle) {
    if (outerManual) {
        EXPECT_TRUE(SendCommand(board.Window(), kAuto1));
    }
    if (middleManual) {
        EXPECT_TRUE(SendCommand(board.Window(), kAuto2));
    }
    EXPECT_TRUE(SetText(board.Item(kEntryOuter), outer));
    EXPECT_TRUE(SetText(board.Item(kEntryMiddle), middle));
    const size_t mark = Mark(board.Install());
    EXPECT_TRUE(SendCommand(board.Window(), kApply));
    return Since(board.Install(), mark);
}

TEST(ApplyAmd, ManualOuterFansGetTheirPercentAndTheButtonsFollow) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    ParkMouse();
    const auto lines = Apply(board, true, false, L"45", L"40");

    const auto sets = Only(lines, "ADL_Overdrive5_FanSpeed_Set");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0], "ADL_Overdrive5_FanSpeed_Set adapter=0 thermal=0 size=0 type=1 speed=45 flags=1");
    EXPECT_TRUE(Only(lines, "ADL_Overdrive5_FanSpeedToDefault_Set").empty());
    // The middle fan stayed automatic: APPLY hands it to the chip's curve again.
    EXPECT_EQ(ChipWrites(lines), kDefaultsWritten);

    EXPECT_FALSE(board.Enabled(kApply));
    EXPECT_TRUE(WaitLook(ButtonLit, board.Item(kApply), false));
    EXPECT_TRUE(board.Enabled(kReset)) << "a manual set keeps RESET available";
    EXPECT_TRUE(WaitLook(ButtonLit, board.Item(kReset), true));
}

TEST(ApplyAmd, AutomaticOuterFansAreHandedToTheDriver) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    ParkMouse();
    const auto lines = Apply(board, false, false, L"45", L"40");
    const auto defaults = Only(lines, "ADL_Overdrive5_FanSpeedToDefault_Set");
    ASSERT_EQ(defaults.size(), 1u);
    EXPECT_EQ(defaults[0], "ADL_Overdrive5_FanSpeedToDefault_Set adapter=0 thermal=0");
    EXPECT_TRUE(Only(lines, "ADL_Overdrive5_FanSpeed_Set").empty());
    EXPECT_FALSE(board.Enabled(kReset)) << "both sets automatic: nothing to reset";
    EXPECT_TRUE(WaitLook(ButtonLit, board.Item(kReset), false));
}

TEST(ApplyAmd, ManualMiddleFanBelowTheThresholdGetsAFixedDuty) {
    Board board(Vendor::Amd, "card.0.reg.0x02 = 69\n");
    ASSERT_TRUE(WaitStarted(board));
    const auto lines = Apply(board, false, true, L"40", L"30");
    const std::vector<std::string> fixed = {"0x85=0x4C", "0x86=0x4C"};
    EXPECT_EQ(ChipWrites(lines), fixed) << "30 % is duty 76, to 0x85 and 0x86 only";
    // The module temperature is read before anything is written.
    std::vector<std::string> reads;
    for (const std::string& line : Only(lines, "ADL_Display_WriteAndReadI2C")) {
        if (Field(line, "action") == "1") {
            reads.push_back(Field(line, "offset"));
        }
    }
    EXPECT_EQ(reads, std::vector<std::string>{"0x02"});
    EXPECT_EQ(board.App().WaitMessageBox(0), nullptr);
}

TEST(ApplyAmd, HotModuleRefusesTheManualMiddleFan) {
    Board board(Vendor::Amd, "card.0.reg.0x02 = 70\n");
    ASSERT_TRUE(WaitStarted(board));
    ParkMouse();
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    ASSERT_TRUE(WaitLook(AutoLit, board.Item(kAuto2), false));
    ASSERT_TRUE(SetText(board.Item(kEntryMiddle), L"90"));
    const size_t mark = Mark(board.Install());
    window::Command(board.Window(), kApply);

    const HWND box = board.App().WaitMessageBox(10000);
    ASSERT_NE(box, nullptr) << "the protection message is shown";
    EXPECT_EQ(WindowText(box), L"Ventiq");
    EXPECT_EQ(MessageBoxText(box), kProtectionText);
    // The readings go on while the message waits.
    const size_t beforeWait = Mark(board.Install());
    EXPECT_TRUE(WaitUntil(
        [&] { return !Only(Since(board.Install(), beforeWait), "ADL_Overdrive5_Temperature_Get").empty(); },
        3000))
        << "no readings tick while the message is open";
    EXPECT_TRUE(ChipWrites(Since(board.Install(), mark)).empty()) << "nothing is written before OK";
    PressOk(box);

    EXPECT_TRUE(WaitUntil([&] { return ChipWrites(Since(board.Install(), mark)).size() >= 4; }, 5000));
    EXPECT_EQ(ChipWrites(Since(board.Install(), mark)), kDefaultsWritten)
        << "the chip's curve, never the duty";
    EXPECT_TRUE(WaitUntil([&] { return !board.Enabled(kEntryMiddle); }));
    EXPECT_TRUE(WaitLook(AutoLit, board.Item(kAuto2), true)) << "the middle fan is automatic again";
    EXPECT_FALSE(board.Enabled(kApply));
}

TEST(ApplyAmd, ThresholdHoldsWhicheverWayTheSpeedWouldGo) {
    // Raising the speed to 100 % is refused as well.
    Board board(Vendor::Amd, "card.0.reg.0x02 = 95\n");
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    ASSERT_TRUE(SetText(board.Item(kEntryMiddle), L"100"));
    window::Command(board.Window(), kApply);
    const HWND box = board.App().WaitMessageBox(10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), kProtectionText);
    PressOk(box);
}

TEST(ApplyAmd, UnreadableModuleTemperatureRefusesTheManualMiddleFan) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(Tick(board.Window()));
    ASSERT_EQ(board.Text(kPwmTemp), L"50");
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    ASSERT_TRUE(SetText(board.Item(kEntryMiddle), L"50"));
    board.Install().WriteScenario("fault.status.ADL_Display_WriteAndReadI2C = -1\n");
    const size_t mark = Mark(board.Install());
    window::Command(board.Window(), kApply);

    const HWND box = board.App().WaitMessageBox(10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), kUnreadableText);
    ASSERT_TRUE(Tick(board.Window()));
    EXPECT_EQ(board.Text(kPwmTemp), L"50") << "a failed read keeps the last module temperature";
    board.Install().WriteScenario("");
    PressOk(box);
    EXPECT_TRUE(WaitUntil([&] { return ChipWrites(Since(board.Install(), mark)).size() >= 4; }, 5000));
    EXPECT_EQ(ChipWrites(Since(board.Install(), mark)), kDefaultsWritten)
        << "the chip's curve, never the duty";
    EXPECT_TRUE(WaitLook(AutoLit, board.Item(kAuto2), true));
}

TEST(ApplyAmd, EntryTextsAreHeldToTwentyThroughHundred) {
    const struct {
        const wchar_t* typed;
        const char* speed;
        const char* duty;
    } cases[] = {
        {L"150", "100", "0xFF"},
        {L"5", "20", "0x33"},
        {L"", "20", "0x33"},
        {L"64", "64", "0xA3"},
    };
    Board board(Vendor::Amd, "card.0.reg.0x02 = 40\n");
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto1));
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    for (const auto& c : cases) {
        const auto lines = Apply(board, false, false, c.typed, c.typed);
        const auto sets = Only(lines, "ADL_Overdrive5_FanSpeed_Set");
        ASSERT_EQ(sets.size(), 1u);
        EXPECT_EQ(Field(sets[0], "speed"), c.speed) << testing::PrintToString(std::wstring(c.typed));
        const std::vector<std::string> fixed = {std::string("0x85=") + c.duty, std::string("0x86=") + c.duty};
        EXPECT_EQ(ChipWrites(lines), fixed) << testing::PrintToString(std::wstring(c.typed));
    }
}

TEST(ApplyNvidia, OuterFansManualAndAutomaticAndNoTemperatureCheck) {
    Board board(Vendor::Nvidia, "card.0.reg.0x02 = 90\n");
    ASSERT_TRUE(WaitStarted(board));
    auto lines = Apply(board, true, true, L"45", L"30");
    auto levels = Only(lines, "NvApplyCoolerLevels");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0], "NvApplyCoolerLevels gpu=0 cooler=7 version=0x100A4 level=45 policy=1");
    // Hot module, but NVIDIA boards take the setting.
    const std::vector<std::string> fixed = {"0x85=0x4C", "0x86=0x4C"};
    EXPECT_EQ(ChipWrites(lines), fixed);
    EXPECT_EQ(board.App().WaitMessageBox(0), nullptr) << "no protection message on NVIDIA";

    // Back to automatic: the driver's policy again, and the chip's curve.
    lines = Apply(board, true, true, L"45", L"30");
    levels = Only(lines, "NvApplyCoolerLevels");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0], "NvApplyCoolerLevels gpu=0 cooler=7 version=0x100A4 level=0 policy=32");
    EXPECT_EQ(ChipWrites(lines), kDefaultsWritten);
}

TEST(ApplyEditing, DraggingAManualSliderLightsApplyAndCopiesThePosition) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    ParkMouse();
    const HWND window = board.Window();
    // Automatic sets are not edited.
    ::PostMessageW(window, 0x28D1, kSliderOuter, 0);
    Pump(300);
    EXPECT_FALSE(board.Enabled(kApply));

    ASSERT_TRUE(SendCommand(window, kAuto1));
    EXPECT_FALSE(board.Enabled(kApply)) << "switching to manual alone does not light APPLY";
    ::PostMessageW(window, 0x28D1, kSliderOuter, 0);
    EXPECT_TRUE(WaitUntil([&] { return board.Enabled(kApply); }));
    EXPECT_TRUE(WaitLook(ButtonLit, board.Item(kApply), true));
    EXPECT_EQ(board.Text(kEntryOuter), L"40") << "the box shows the slider's position";

    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(SendCommand(window, kApply));
    EXPECT_EQ(Field(Only(Since(board.Install(), mark), "ADL_Overdrive5_FanSpeed_Set").at(0), "speed"), "40");
    EXPECT_FALSE(board.Enabled(kApply));
}

} // namespace
