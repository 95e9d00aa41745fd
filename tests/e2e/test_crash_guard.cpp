// The crash guard: a crashed process still hands the fans back, once, and ends as the crash it is;
// before the vendor back end is up it writes nothing; a fault inside the hand-back cannot hang it.
#include "test_fan_support.h"

#include <string>

using namespace e2e;
using namespace e2e::fan;

namespace {

// Journal lines from the first call of `name` on: the faulting call and whatever followed it.
std::vector<std::string> FromLast(const std::vector<std::string>& lines, const std::string& name) {
    for (size_t i = lines.size(); i-- > 0;) {
        if (IsCall(lines[i], name)) {
            return {lines.begin() + static_cast<std::ptrdiff_t>(i), lines.end()};
        }
    }
    return {};
}

// Makes the next call of `name` fault and runs monitoring ticks until the process has ended, which
// must be as the access violation it is. The window's own timer may run a tick between counting and
// arming, so the count is taken afresh each round. `after` gets the journal from the faulting call on.
void CrashInTick(Board& board, const std::string& scenario, const std::string& name,
                 std::vector<std::string>* after) {
    DWORD exitCode = 0;
    bool ended = false;
    for (int round = 0; round < 10 && !ended; ++round) {
        const size_t next = board.Install().Calls(name).size() + 1;
        board.Install().WriteScenario(scenario + "fault.crash." + name + " = " + std::to_string(next) + "\n");
        Tick(board.Window());
        ended = board.App().WaitExit(3000, &exitCode);
    }
    ASSERT_TRUE(ended) << "the fault did not end the program";
    EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    *after = FromLast(board.Install().Journal(), name);
    ASSERT_FALSE(after->empty());
}

TEST(CrashGuard, FaultBeforeTheBackEndIsUpWritesNothing) {
    SetDisplayAdapter(0x1002, 0x6719);
    Installation install;
    install.WriteCardList(window::kAmdBoard);
    install.WriteScenario("fault.crash.ADL_Adapter_NumberOfAdapters_Get = 1\n");
    AppRun app(install);
    DWORD exitCode = 0;
    ASSERT_TRUE(app.WaitExit(30000, &exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_FALSE(install.Calls("ADL_Adapter_NumberOfAdapters_Get").empty()) << "the fault happened";
    EXPECT_TRUE(install.Calls("ADL_Overdrive5_FanSpeedToDefault_Set").empty());
    EXPECT_TRUE(ChipWrites(install.Journal()).empty());
}

TEST(CrashGuard, AmdFaultInATickHandsTheFansBackOnce) {
    Board board(Vendor::Amd);
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    std::vector<std::string> after;
    ASSERT_NO_FATAL_FAILURE(CrashInTick(board, "", "ADL_Overdrive5_Temperature_Get", &after));
    EXPECT_EQ(Only(after, "ADL_Overdrive5_FanSpeedToDefault_Set"),
              std::vector<std::string>{"ADL_Overdrive5_FanSpeedToDefault_Set adapter=0 thermal=0"});
    EXPECT_EQ(ChipWrites(after), kDefaultsWritten);
    EXPECT_EQ(Only(after, "ADL_Overdrive5_Temperature_Get").size(), 1u) << "nothing ran on after the fault";
    // The guardian hands back as well once the crashed process is gone: the guard may not have finished.
    EXPECT_TRUE(WaitUntil(
        [&] { return Only(board.Install().Journal(), "guard ADL_Display_WriteAndReadI2C").size() >= 4; },
        10000));
    EXPECT_EQ(Only(board.Install().Journal(), "guard ADL_Overdrive5_FanSpeedToDefault_Set").size(), 1u);
}

TEST(CrashGuard, NvidiaFaultInATickHandsTheFansBackOnce) {
    Board board(Vendor::Nvidia);
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    std::vector<std::string> after;
    ASSERT_NO_FATAL_FAILURE(CrashInTick(board, "", "NvAPI_GPU_GetThermalSettings", &after));
    const std::vector<std::string> levels = Only(after, "NvApplyCoolerLevels");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(Field(levels[0], "policy"), "32") << "the driver's own policy again";
    EXPECT_EQ(ChipWrites(after), kDefaultsWritten);
}

TEST(CrashGuard, FaultInsideTheHandBackEndsTheProgramAtOnce) {
    Board board(Vendor::Amd);
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    // The first hand-back call faults too: the program must end, not retry or hang.
    const std::string scenario =
        "fault.crash.ADL_Overdrive5_FanSpeedToDefault_Set = " +
        std::to_string(board.Install().Calls("ADL_Overdrive5_FanSpeedToDefault_Set").size() + 1) + "\n";
    std::vector<std::string> after;
    ASSERT_NO_FATAL_FAILURE(CrashInTick(board, scenario, "ADL_Overdrive5_Temperature_Get", &after));
    EXPECT_EQ(Only(after, "ADL_Overdrive5_FanSpeedToDefault_Set").size(), 1u) << "the hand-back ran once";
    EXPECT_TRUE(ChipWrites(after).empty()) << "nothing after the second fault";
}

TEST(CrashGuard, FaultAfterTheWindowIsGoneWritesNothingMore) {
    // The window's destruction hands the fans back, then lets the driver library go; a fault there
    // must not hand them back a second time.
    Board board(Vendor::Nvidia, "fault.crash.NvAPI_Unload = 1\n");
    ASSERT_NO_FATAL_FAILURE(ApplyBothManual(board));
    const size_t mark = Mark(board.Install());
    window::Command(board.Window(), IDCANCEL);
    DWORD exitCode = 0;
    ASSERT_TRUE(board.App().WaitExit(20000, &exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    std::vector<std::string> lines = Since(board.Install(), mark);
    // The guardian ends as well and lets its own library go: its lines are not Ventiq's.
    std::erase_if(lines, [](const std::string& line) { return line.rfind("guard ", 0) == 0; });
    EXPECT_EQ(Only(lines, "NvApplyCoolerLevels").size(), 1u);
    EXPECT_EQ(ChipWrites(lines), kDefaultsWritten);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(IsCall(lines.back(), "NvAPI_Unload")) << "nothing after the fault";
}

} // namespace
