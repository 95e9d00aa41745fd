// The fans' one owner and the keeper of the settings: which guards are armed when, what a hand-back
// the driver refuses leaves armed, and what the keeper asks for after each event.
#include "fan/FanOwner.h"
#include "fan/SettingsKeeper.h"
#include "hw/AmdFanHardware.h"
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

namespace {

// Counts what the owner asks of the guardian.
class CWatchLog : public CFanWatch {
public:
    bool Arm(const CFanHardware&) override {
        ++m_nArms;
        return true;
    }
    void StandDown() override { ++m_nStandDowns; }
    int m_nArms = 0;
    int m_nStandDowns = 0;
};

TEST(FanOwner, ArmedWhileASetIsTakenAndStoodDownOnlyOnceItsDefaultsReadBack) {
    simtest::CScratchBoard board;
    FanCards cards;
    cards.m_nCardCount = 1;
    cards.m_pCardMatched = {1};
    const int defaults[4] = {120, 100, 80, 60};
    std::copy(defaults, defaults + 4, cards.m_nRegisterDefaults);
    const std::unique_ptr<CAmdFanHardware> hardware = CAmdFanHardware::Start(cards);
    ASSERT_NE(hardware, nullptr);
    CWatchLog watch;
    CFanOwner owner(*hardware, watch);

    EXPECT_TRUE(owner.SetOuterDefault());
    EXPECT_FALSE(owner.IsArmed()) << "giving back what was never taken arms nothing";
    EXPECT_TRUE(owner.SetOuterPercent(45));
    EXPECT_TRUE(owner.SetMiddleDuty(76));
    EXPECT_TRUE(owner.IsArmed());
    EXPECT_EQ(watch.m_nArms, 1) << "armed once, before the first write";

    EXPECT_TRUE(owner.SetOuterDefault());
    EXPECT_TRUE(owner.IsArmed()) << "the middle fan is still taken";

    // The chip refuses: the hand-back is not confirmed and the guardian stays.
    board.WriteScenario("fault.status.ADL_Display_WriteAndReadI2C = -1\n");
    EXPECT_FALSE(owner.HandBack());
    EXPECT_TRUE(owner.IsArmed());
    EXPECT_EQ(watch.m_nStandDowns, 0);

    // The end of the session: handed back, but the guardian stays until the answer; nothing is
    // taken meanwhile; a cancel keeps the guardian; the end stands it down.
    board.WriteScenario("");
    owner.BeginSessionEnd();
    EXPECT_FALSE(owner.IsTaken());
    EXPECT_FALSE(owner.SetOuterPercent(45));
    EXPECT_TRUE(owner.IsArmed());
    owner.EndSession(false);
    EXPECT_TRUE(owner.IsArmed());
    EXPECT_TRUE(owner.SetOuterPercent(45));
    owner.BeginSessionEnd();
    owner.EndSession(true);
    EXPECT_FALSE(owner.IsArmed());
    EXPECT_EQ(watch.m_nStandDowns, 1);
    EXPECT_EQ(watch.m_nArms, 1);
}

TEST(SettingsKeeper, AnswersEachEventWithWhatTheWindowDoes) {
    using A = KeeperAction;
    enum Event { Lost, LostReconnect, Answers, Refuses, Stale, SameCards, OtherCards, NoSession,
                 WrittenReady, NotReady, Holds, Differs };
    const struct {
        const char* what;
        std::vector<std::pair<Event, A>> steps;
    } rows[] = {
        {"one failed read is no restart", {{Refuses, A::None}, {Answers, A::None}}},
        {"two failed reads, then an answer",
         {{Refuses, A::None}, {Refuses, A::None}, {Answers, A::Reconnect}, {SameCards, A::Write},
          {WrittenReady, A::None}, {Answers, A::Verify}, {Holds, A::None}, {Answers, A::None}}},
        {"resume: nothing while the driver refuses",
         {{LostReconnect, A::None}, {Refuses, A::None}, {Answers, A::Reconnect}, {NoSession, A::None},
          {Answers, A::Reconnect}, {SameCards, A::Write}}},
        {"a cancelled end of the session writes without a reconnect", {{Lost, A::None}, {Answers, A::Write}}},
        {"the chip's line not ready yet", {{Lost, A::None}, {Answers, A::Write}, {NotReady, A::None},
                                          {Answers, A::Write}}},
        {"settings taken back by the driver",
         {{Lost, A::None}, {Answers, A::Write}, {WrittenReady, A::None}, {Answers, A::Verify},
          {Differs, A::Write}, {WrittenReady, A::None}, {Answers, A::Verify}, {Holds, A::None}}},
        {"settings that never stick", {{Lost, A::None}, {Answers, A::Write}, {WrittenReady, A::None},
                                       {Answers, A::Verify}, {Differs, A::Write}, {Differs, A::Write},
                                       {Differs, A::Write}, {Differs, A::Write}, {Differs, A::Write},
                                       {Differs, A::Write}, {Differs, A::Write}, {Differs, A::Write},
                                       {Differs, A::Write}, {Differs, A::GiveUp}, {Answers, A::None}}},
        {"stale handles at any time", {{Stale, A::Reconnect}, {SameCards, A::Write}}},
        {"other cards after the restart", {{LostReconnect, A::None}, {Answers, A::Reconnect},
                                           {OtherCards, A::CardsChanged}, {Answers, A::None}}},
    };
    for (const auto& row : rows) {
        CSettingsKeeper keeper;
        for (size_t i = 0; i < row.steps.size(); ++i) {
            A action = A::None;
            switch (row.steps[i].first) {
            case Lost: keeper.MarkLost(false); break;
            case LostReconnect: keeper.MarkLost(true); break;
            case Answers: action = keeper.Probe(true, false); break;
            case Refuses: action = keeper.Probe(false, false); break;
            case Stale: action = keeper.Probe(false, true); break;
            case SameCards: action = keeper.Reconnected(Reconnection::SameCards, true); break;
            case OtherCards: action = keeper.Reconnected(Reconnection::CardsChanged, true); break;
            case NoSession: action = keeper.Reconnected(Reconnection::Failed, false); break;
            case WrittenReady: action = keeper.Written(true); break;
            case NotReady: action = keeper.Written(false); break;
            case Holds: action = keeper.Checked(true); break;
            case Differs: action = keeper.Checked(false); break;
            }
            EXPECT_EQ(action, row.steps[i].second) << row.what << ", step " << i;
        }
    }
}

} // namespace
