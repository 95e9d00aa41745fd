// The simulated board's chip as the other suites rely on it: scenario changes while a program runs,
// what the program wrote surviving them, the live model, and scenario lines it cannot use.
#include "app/VentiqDlg.h"
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

namespace {

class SimBoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dlg.m_strVendor = L"AMD";
        m_dlg.m_nAdapterIndex = 0;
    }
    void TearDown() override {
        if (m_dlg.m_hADL != nullptr) {
            ::FreeLibrary(m_dlg.m_hADL);
        }
    }
    void Load(const std::string& scenario) {
        m_board.WriteScenario(scenario);
        m_dlg.m_hADL = simtest::LoadSystemLibrary(L"atiadlxx.dll");
        ASSERT_NE(m_dlg.m_hADL, nullptr);
    }

    simtest::CScratchBoard m_board;
    CVentiqDlg m_dlg;
};

TEST_F(SimBoardTest, ScenarioChangesKeepWhatTheProgramWrote) {
    Load("");
    EXPECT_EQ(m_dlg.ReadChipRegister(0x02), 50);
    m_dlg.AdlI2CWrite(0, 0x85, 9);
    m_board.WriteScenario("card.0.reg.0x02 = 75\ncard.0.reg.0x85 = 1\ncard.0.reg.0x86 = 2\n");
    EXPECT_EQ(m_dlg.ReadChipRegister(0x02), 75) << "a test raises the PWM temperature";
    EXPECT_EQ(m_dlg.ReadChipRegister(0x85), 9) << "the program's write stays";
    EXPECT_EQ(m_dlg.ReadChipRegister(0x86), 2) << "an unwritten register follows the scenario";
}

TEST_F(SimBoardTest, WithoutLiveReadingsStayAsTheScenarioSays) {
    Load("card.0.reg.0x60 = 90\n");
    m_dlg.AdlI2CWrite(0, 0x85, 200);
    m_dlg.AdlI2CWrite(0, 0x86, 200);
    m_dlg.AdlI2CWrite(0, 0x60, 1);
    ::Sleep(1100);
    EXPECT_EQ(m_dlg.ReadChipRegister(0x60), 90);
}

TEST_F(SimBoardTest, LiveDutyFollowsAFixedDuty) {
    Load("live = 1\ncard.0.reg.0x60 = 100\n");
    m_dlg.m_nCardCount = 1;
    m_dlg.WriteFixedDuty(200);
    ::Sleep(2100);
    const int duty = m_dlg.ReadChipRegister(0x60);
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
