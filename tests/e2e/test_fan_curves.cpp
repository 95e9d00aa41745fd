// Curve mode, end to end on a board whose temperatures the test sets: both fan sets follow a step up
// at once and a step down once the temperature has fallen past the hysteresis (no delay here), the AMD
// middle fan yields to the chip at 70 °C, and ended from outside the guardian hands the curves back.
#include "test_fan_support.h"

#include <map>

using namespace e2e;
using namespace e2e::fan;

namespace {

struct CurveCase {
    const char* name;
    Vendor vendor;
    // The outer fans' last write as the board journals it, at 40 °C and at 60 °C.
    const char* outerCool;
    const char* outerWarm;
};

void PrintTo(const CurveCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Temperatures(int gpu, int pwm) {
    return "card.0.temperature = " + std::to_string(gpu) + "\ncard.0.reg.0x02 = " + std::to_string(pwm) + "\n";
}

class CurveMode : public testing::TestWithParam<CurveCase> {};

TEST_P(CurveMode, BothSetsFollowTheirTemperatureAndAreHandedBackWhenEnded) {
    const CurveCase& c = GetParam();
    ScopedUserSettings settings;
    settings.Set(L"OuterDelay", DWORD{0});
    settings.Set(L"MiddleDelay", DWORD{0});
    // The default curves: 40 °C gives 35 % outside; 45 °C of the module 35 % in the middle (duty 0x59).
    Board board(c.vendor, Temperatures(40, 45));
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(SendCommand(board.Window(), kOuterCurve));
    ASSERT_TRUE(SendCommand(board.Window(), kMiddleCurve));
    ASSERT_TRUE(SendCommand(board.Window(), kApply));
    using Held = std::map<std::string, std::string>;
    EXPECT_EQ(LastWrites(board.Install().Journal()), (Held{{"outer", c.outerCool}, {"0x85", "0x59"}, {"0x86", "0x59"}}));

    // Up at once: 60 °C is 53 % outside, 61 °C of the module 60 % in the middle (duty 0x99).
    board.Install().WriteScenario(Temperatures(60, 61));
    ASSERT_TRUE(Tick(board.Window()));
    EXPECT_EQ(LastWrites(board.Install().Journal()), (Held{{"outer", c.outerWarm}, {"0x85", "0x99"}, {"0x86", "0x99"}}));
    const size_t mark = Mark(board.Install());
    ASSERT_TRUE(Tick(board.Window()));
    EXPECT_TRUE(Writes(Since(board.Install(), mark)).empty()) << "an unchanged output writes nothing";

    // Down past the hysteresis, with no delay: the cool outputs again.
    board.Install().WriteScenario(Temperatures(40, 45));
    ASSERT_TRUE(Tick(board.Window()));
    EXPECT_EQ(LastWrites(board.Install().Journal()), (Held{{"outer", c.outerCool}, {"0x85", "0x59"}, {"0x86", "0x59"}}));

    if (c.vendor == Vendor::Amd) {
        // A hot module on an AMD board: the chip's own curve, without a message box.
        board.Install().WriteScenario(Temperatures(40, 72));
        ASSERT_TRUE(Tick(board.Window()));
        const Held yielded = {{"outer", c.outerCool}, {"0x85", "0x78"}, {"0x86", "0x64"}, {"0x87", "0x50"}, {"0x88", "0x3C"}};
        EXPECT_EQ(LastWrites(board.Install().Journal()), yielded);
        EXPECT_EQ(board.App().WaitMessageBox(0), nullptr);
    }

    const size_t end = Mark(board.Install());
    ASSERT_TRUE(board.App().Terminate());
    ASSERT_TRUE(WaitUntil([] { return Processes(L"VentiqGuard.exe").empty(); }, 10000));
    const Held back = {{"outer", c.vendor == Vendor::Amd ? "default" : "0/32"},
                         {"0x85", "0x78"}, {"0x86", "0x64"}, {"0x87", "0x50"}, {"0x88", "0x3C"}};
    EXPECT_EQ(LastWrites(Since(board.Install(), end)), back) << "the guardian's hand-back";
}

const CurveCase kCurves[] = {
    {"Amd", Vendor::Amd, "35", "53"},
    {"Nvidia", Vendor::Nvidia, "35/1", "53/1"},
};

INSTANTIATE_TEST_SUITE_P(Vendors, CurveMode, testing::ValuesIn(kCurves),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
