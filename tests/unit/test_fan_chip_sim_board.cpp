// The simulated board's chip as the other suites rely on it: scenario changes while a program runs,
// what the program wrote surviving them, the live model, and scenario lines it cannot use.
#include "hw/AmdFanHardware.h"
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

namespace {

class SimBoardTest : public ::testing::Test {
protected:
    void Load(const std::string& scenario) {
        m_board.WriteScenario(scenario);
        m_pHardware = CAmdFanHardware::Start(FanCards{1, {1}, {120, 100, 80, 60}});
        ASSERT_NE(m_pHardware, nullptr);
    }
    int Read(BYTE reg) { return m_pHardware->ReadChip(reg).value_or(-1); }

    simtest::CScratchBoard m_board;
    std::unique_ptr<CAmdFanHardware> m_pHardware;
};

TEST_F(SimBoardTest, ScenarioChangesKeepWhatTheProgramWrote) {
    Load("");
    EXPECT_EQ(Read(0x02), 50);
    m_pHardware->WriteChip(0, 0x85, 9);
    m_board.WriteScenario("card.0.reg.0x02 = 75\ncard.0.reg.0x85 = 1\ncard.0.reg.0x86 = 2\n");
    EXPECT_EQ(Read(0x02), 75) << "a test raises the PWM temperature";
    EXPECT_EQ(Read(0x85), 9) << "the program's write stays";
    EXPECT_EQ(Read(0x86), 2) << "an unwritten register follows the scenario";
}

TEST_F(SimBoardTest, WithoutLiveReadingsStayAsTheScenarioSays) {
    Load("card.0.reg.0x60 = 90\n");
    m_pHardware->WriteChip(0, 0x85, 200);
    m_pHardware->WriteChip(0, 0x86, 200);
    m_pHardware->WriteChip(0, 0x60, 1);
    ::Sleep(1100);
    EXPECT_EQ(Read(0x60), 90);
}

TEST_F(SimBoardTest, LiveDutyFollowsAFixedDuty) {
    Load("live = 1\ncard.0.reg.0x60 = 100\n");
    m_pHardware->WriteFixedDuty(200);
    ::Sleep(2100);
    const int duty = Read(0x60);
    EXPECT_GT(duty, 100);
    EXPECT_LE(duty, 200);
}

TEST_F(SimBoardTest, UnusableScenarioLinesAreJournaled) {
    Load("cards = 2\ncard.7.fan = 1\ncard.0.fan = 101\nno equals sign\nfault.status.X = 0\n# "
         "fine\n\ncard.1.fan = 3\n");
    const auto ignored = m_board.Calls("scenario-ignored");
    ASSERT_EQ(ignored.size(), 4u);
    EXPECT_EQ(ignored[0], "scenario-ignored line=2 text=card.7.fan = 1");
    EXPECT_EQ(simtest::Field(ignored[3], "line"), "5");
}

} // namespace
