// What a readings tick paints on the main window made from its template: only the controls whose
// value changed, each with its piece of the skin in one pass (no picture of the skin without the
// readouts), nothing while the window is hidden, and everything at once when it is shown again.
#include "MainWindowRig.h"
#include "PaintLog.h"
#include "test_adl_sim_board.h"

#include <gtest/gtest.h>

namespace {

const std::set<int> kEveryValue = {IDC_GPU_TEMP,    IDC_PWM_TEMP,     IDC_ZONE1_SPEED,
                                   IDC_ZONE2_SPEED, IDC_ZONE3_SPEED,  IDC_EDIT_OUTER,
                                   IDC_EDIT_MIDDLE, IDC_SLIDER_OUTER, IDC_SLIDER_MIDDLE};

TEST(TickPainting, OnlyWhatChangedPaintsInOnePassAndNothingWhileHidden) {
    // Each case starts from the same readings on show; the hidden case comes last.
    const struct {
        const char* name;
        const char* next;
        bool hidden;
        std::set<int> painted;
    } cases[] = {
        {"unchanged", kStart, false, {}},
        {"PWM temperature", kPwmWarmer, false, {IDC_PWM_TEMP}},
        {"every reading", kAllChanged, false, kEveryValue},
        {"hidden", kAllChanged, true, {}},
    };
    for (const bool nvidia : {false, true}) {
        simtest::CScratchBoard board;
        board.WriteScenario(kStart);
        CMainWindowRig rig(nvidia);
        ASSERT_TRUE(rig.Ready());
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(nvidia ? "NVIDIA " : "AMD ") + c.name);
            board.WriteScenario(kStart);
            rig.m_dlg.UpdateReadings();
            rig.Settle();
            if (c.hidden) {
                rig.m_dlg.OnMini();
                rig.Settle();
            }

            CPaintLog log(rig.m_hWnd, kReadouts);
            ASSERT_TRUE(c.hidden || log.ReadoutsShow());
            log.Look(!c.hidden);
            board.WriteScenario(c.next);
            rig.m_dlg.UpdateReadings();
            rig.Settle();
            EXPECT_EQ(log.PaintedIds(), c.painted);
            EXPECT_EQ(log.Painted().size(), c.painted.size()) << "a control painted more than once";
            EXPECT_EQ(log.BlankPictures(), 0) << "of " << log.Pictures() << " pictures";

            if (c.hidden) {
                // Shown again: the values read while hidden are painted before the command returns.
                log.Clear();
                rig.m_dlg.OnShowCommand();
                for (int id : kEveryValue) {
                    EXPECT_EQ(log.Painted().count(id), 1u) << "control " << id;
                }
                EXPECT_TRUE(log.ReadoutsShow());
                EXPECT_EQ(rig.m_dlg.m_lblZone3Speed.GetWindowText(), L"50%");
            }
        }
    }
}

} // namespace
