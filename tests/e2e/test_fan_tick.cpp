// The readings tick, end to end: what each readout shows and in which format, what a failed read
// leaves, which controls follow the hardware in automatic mode, and the calls one tick makes.
#include "test_fan_support.h"

using namespace e2e;
using namespace e2e::fan;

namespace {

const wchar_t kDegrees[] = L" \u00B0C";

// The journal cut into ticks: each slice starts at the tick's first call. The guardian's lines (its own
// process, starting up at any moment) are left out.
std::vector<std::vector<std::string>> Ticks(const std::vector<std::string>& lines, const std::string& first) {
    std::vector<std::vector<std::string>> ticks;
    for (const std::string& line : lines) {
        if (line.rfind("guard ", 0) == 0) {
            continue;
        }
        if (IsCall(line, first)) {
            ticks.emplace_back();
        }
        if (!ticks.empty()) {
            ticks.back().push_back(line.substr(0, line.find(' ')));
        }
    }
    return ticks;
}

TEST(TickAmd, ReadoutsShowTheBoardInTheirFormats) {
    Board board(Vendor::Amd, "card.0.temperature = 45.5\ncard.0.fan = 45\ncard.0.reg.0x60 = 76\n"
                             "card.0.reg.0x02 = 63\n");
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(Tick(board.Window()));

    EXPECT_EQ(board.Text(kGpuTemp), L"45") << "45500 thousandths are 45 degrees";
    EXPECT_EQ(board.Text(kGpuUnit), kDegrees);
    EXPECT_EQ(board.Text(kZone1Speed), L"45%");
    EXPECT_EQ(board.Text(kZone2Speed), L"45%");
    EXPECT_EQ(board.Text(kZone3Speed), L"30%") << "duty 76 is 29.8 %";
    EXPECT_EQ(board.Text(kPwmTemp), L"63");
    EXPECT_EQ(board.Text(kPwmUnit), kDegrees);
    // Both sets are automatic: their boxes follow the hardware.
    EXPECT_EQ(board.Text(kEntryOuter), L"45");
    EXPECT_EQ(board.Text(kEntryMiddle), L"30");
}

TEST(TickAmd, TemperatureJustBelowZeroReadsZero) {
    Board board(Vendor::Amd, "card.0.temperature = -0.5\n");
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(Tick(board.Window()));
    EXPECT_EQ(board.Text(kGpuTemp), L"0");
}

TEST(TickAmd, AutomaticBoxesFollowChangesAndManualOnesKeepTheirValue) {
    Board board(Vendor::Amd, "card.0.fan = 45\n");
    ASSERT_TRUE(WaitStarted(board));
    // The middle fan goes manual; its box is the user's from now on.
    ASSERT_TRUE(SendCommand(board.Window(), kAuto2));
    board.Install().WriteScenario("card.0.fan = 70\ncard.0.reg.0x60 = 128\n");
    ASSERT_TRUE(Tick(board.Window()));

    EXPECT_EQ(board.Text(kZone1Speed), L"70%");
    EXPECT_EQ(board.Text(kEntryOuter), L"70");
    EXPECT_FALSE(board.Enabled(kEntryOuter)) << "the automatic box stays disabled after its update";
    EXPECT_EQ(board.Text(kZone3Speed), L"50%");
    EXPECT_EQ(board.Text(kEntryMiddle), L"40") << "a manual box is not overwritten by readings";
    EXPECT_TRUE(board.Enabled(kEntryMiddle));
}

TEST(TickAmd, FailedReadsEmptyTheirLabels) {
    Board board(Vendor::Amd, "card.0.temperature = 51\n");
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(Tick(board.Window()));
    ASSERT_EQ(board.Text(kGpuTemp), L"51");

    board.Install().WriteScenario("card.0.temperature = 66\nfault.status.ADL_Overdrive5_Temperature_Get = -1\n"
                                  "fault.status.ADL_Overdrive5_FanSpeed_Get = -1\n");
    ASSERT_TRUE(Tick(board.Window()));
    EXPECT_EQ(board.Text(kGpuTemp), L"") << "a number nobody read is not shown";
    EXPECT_EQ(board.Text(kGpuUnit), kDegrees);
    EXPECT_EQ(board.Text(kZone1Speed), L"") << "a failed speed read is not 0 %";
    EXPECT_EQ(board.Text(kEntryOuter), L"40") << "the automatic box keeps the last speed read";
    EXPECT_EQ(board.Text(kPwmTemp), L"50") << "the rest of the tick still runs";
}

TEST(TickAmd, OneTickMakesThreeLibraryCallsAndTwoChipReads) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(WaitStarted(board));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(Tick(board.Window()));
    ASSERT_TRUE(Tick(board.Window()));

    const std::vector<std::string> lines = Since(board.Install(), mark);
    const auto ticks = Ticks(lines, "ADL_Overdrive5_Temperature_Get");
    ASSERT_GE(ticks.size(), 2u);
    const std::vector<std::string> expected = {
        "ADL_Overdrive5_Temperature_Get", "ADL_Overdrive5_FanSpeedInfo_Get", "ADL_Overdrive5_FanSpeed_Get",
        "ADL_Display_WriteAndReadI2C", "ADL_Display_WriteAndReadI2C"};
    for (const auto& tick : ticks) {
        EXPECT_EQ(tick, expected);
    }
    const std::vector<std::string> reads = Only(lines, "ADL_Display_WriteAndReadI2C");
    ASSERT_GE(reads.size(), 2u);
    EXPECT_EQ(Field(reads[0], "offset"), "0x60");
    EXPECT_EQ(Field(reads[0], "action"), "1");
    EXPECT_EQ(Field(reads[1], "offset"), "0x02");
    EXPECT_EQ(Field(reads[1], "action"), "1");
}

TEST(TickNvidia, ReadoutsShowTheBoardInTheirFormats) {
    Board board(Vendor::Nvidia, "card.0.temperature = 52.9\ncard.0.cooler.level = 47\ncard.0.reg.0x60 = 255\n"
                                "card.0.reg.0x02 = 71\n");
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(Tick(board.Window()));

    EXPECT_EQ(board.Text(kGpuTemp), L"52");
    EXPECT_EQ(board.Text(kGpuUnit), kDegrees);
    EXPECT_EQ(board.Text(kZone1Speed), L"47%");
    EXPECT_EQ(board.Text(kZone2Speed), L"47%");
    EXPECT_EQ(board.Text(kEntryOuter), L"47");
    EXPECT_EQ(board.Text(kZone3Speed), L"100%");
    EXPECT_EQ(board.Text(kEntryMiddle), L"100");
    EXPECT_EQ(board.Text(kPwmTemp), L"71");
}

TEST(TickNvidia, FailedReadsEmptyTheirLabels) {
    Board board(Vendor::Nvidia);
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(Tick(board.Window()));
    ASSERT_EQ(board.Text(kGpuTemp), L"45");

    board.Install().WriteScenario("fault.status.NvAPI_GPU_GetThermalSettings = -5\n"
                                  "fault.status.NvQueryCoolerState = -5\ncard.0.reg.0x60 = 128\n");
    ASSERT_TRUE(Tick(board.Window()));
    EXPECT_EQ(board.Text(kGpuTemp), L"");
    EXPECT_EQ(board.Text(kZone1Speed), L"");
    EXPECT_EQ(board.Text(kZone2Speed), L"");
    EXPECT_EQ(board.Text(kZone3Speed), L"50%") << "the chip is still read";
}

TEST(TickNvidia, OneTickMakesTwoDriverCallsAndTwoChipReads) {
    Board board(Vendor::Nvidia);
    ASSERT_TRUE(WaitStarted(board));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(Tick(board.Window()));
    ASSERT_TRUE(Tick(board.Window()));

    const std::vector<std::string> lines = Since(board.Install(), mark);
    const auto ticks = Ticks(lines, "NvAPI_GPU_GetThermalSettings");
    ASSERT_GE(ticks.size(), 2u);
    // Interfaces were fetched by earlier calls: a tick asks the driver for nothing else.
    const std::vector<std::string> expected = {"NvAPI_GPU_GetThermalSettings", "NvQueryCoolerState",
                                               "NvAPI_I2CRead", "NvAPI_I2CRead"};
    for (const auto& tick : ticks) {
        EXPECT_EQ(tick, expected);
    }
    const std::vector<std::string> reads = Only(lines, "NvAPI_I2CRead");
    ASSERT_GE(reads.size(), 2u);
    EXPECT_EQ(Field(reads[0], "reg"), "0x60");
    EXPECT_EQ(Field(reads[1], "reg"), "0x02");
}

} // namespace
