// The settings remembered per user, end to end: a start with "Restore my settings at start" applies
// them as APPLY would once the first readings are in (a hot AMD module refuses the middle fan without
// a message box; values that make no sense are automatic); without it nothing is written; RESET
// remembers the automatic modes.
#include "test_fan_support.h"

#include <map>

using namespace e2e;
using namespace e2e::fan;

namespace {

using Held = std::map<std::string, std::string>;
const Held kChipDefaults = {{"0x85", "0x78"}, {"0x86", "0x64"}, {"0x87", "0x50"}, {"0x88", "0x3C"}};

Held With(Held held, const std::string& outer) {
    held["outer"] = outer;
    return held;
}

struct RestoreCase {
    const char* name;
    Vendor vendor;
    DWORD restore;
    const wchar_t* outerMode;
    DWORD outerPercent;
    const wchar_t* middleMode;
    DWORD middlePercent;
    const char* scenario;
    Held written; // what the board holds after the first readings
};

void PrintTo(const RestoreCase& c, std::ostream* os) {
    *os << c.name;
}

class RestoreAtStart : public testing::TestWithParam<RestoreCase> {};

TEST_P(RestoreAtStart, AppliesTheRememberedModesOnceTheFirstReadingsAreIn) {
    const RestoreCase& c = GetParam();
    ScopedUserSettings settings;
    settings.Set(L"RestoreAtStart", c.restore);
    settings.Set(L"OuterMode", c.outerMode);
    settings.Set(L"OuterPercent", c.outerPercent);
    settings.Set(L"MiddleMode", c.middleMode);
    settings.Set(L"MiddlePercent", c.middlePercent);
    Board board(c.vendor, c.scenario);
    ASSERT_TRUE(WaitStarted(board));
    ASSERT_TRUE(Tick(board.Window()));
    // A tray note lets messages from other programs in while the shell takes it: waited for.
    EXPECT_TRUE(WaitUntil([&] { return LastWrites(board.Install().Journal()) == c.written; }, 3000));
    EXPECT_EQ(board.App().WaitMessageBox(0), nullptr) << "never a box at start";

    ASSERT_TRUE(SendCommand(board.Window(), kReset));
    EXPECT_EQ(settings.Text(L"OuterMode"), L"auto");
    EXPECT_EQ(settings.Text(L"MiddleMode"), L"auto");
}

const RestoreCase kRestores[] = {
    {"AmdManual", Vendor::Amd, 1, L"manual", 45, L"manual", 30, "", {{"outer", "45"}, {"0x85", "0x4C"}, {"0x86", "0x4C"}}},
    {"NvidiaCurveAndAutomatic", Vendor::Nvidia, 1, L"curve", 50, L"auto", 30, "card.0.temperature = 40\n",
     With(kChipDefaults, "35/1")},
    {"AmdHotModuleRefusesTheMiddleFan", Vendor::Amd, 1, L"manual", 45, L"manual", 30, "card.0.reg.0x02 = 72\n",
     With(kChipDefaults, "45")},
    {"MalformedValuesAreAutomatic", Vendor::Amd, 1, L"fast", 45, L"manual", 5, "", With(kChipDefaults, "default")},
    {"NotAskedFor", Vendor::Amd, 0, L"manual", 45, L"manual", 30, "", {}},
};

INSTANTIATE_TEST_SUITE_P(Settings, RestoreAtStart, testing::ValuesIn(kRestores),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
