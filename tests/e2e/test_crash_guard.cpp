// The crash guard: a fault before the vendor back end is up ends the process as a crash and
// writes nothing to the fans.
#include "test_fan_support.h"

#include <string>

using namespace e2e;
using namespace e2e::fan;

namespace {

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

} // namespace
