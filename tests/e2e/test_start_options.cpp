// The command line's options, whole program: /tray, and /startup with the Task Scheduler's task.
#include "Harness.h"
#include "test_window_support.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Wine keeps only part of a task, so what is checked here is the task's file in the scheduler's store;
// its content is the unit suite's.
TEST(StartupSwitch, AddsAndRemovesTheTaskWhileVentiqRuns) {
    StartSchedulerService();
    SetDisplayAdapter(0x1002, 0x6719);
    Installation install;
    install.WriteCardList("");
    AppRun running(install);
    ASSERT_NE(running.WaitMessageBox(), nullptr) << "the running Ventiq should wait at its message";

    const struct {
        const wchar_t* m_szArguments;
        bool m_bTaskExpected;
    } steps[] = {{L"/startup on", true}, {L"/startup off", false}, {L"/startup off", false}};
    for (const auto& step : steps) {
        AppRun app(install, step.m_szArguments);
        DWORD exitCode = 1;
        ASSERT_TRUE(app.WaitExit(30000, &exitCode)) << "no window, no message: it ends by itself";
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(::GetFileAttributesW(kStartupTaskFile) != INVALID_FILE_ATTRIBUTES, step.m_bTaskExpected);
    }
    EXPECT_TRUE(running.IsRunning()) << "a start-up switch is no second instance";
}

TEST(TrayStart, StaysHiddenWithItsIconUntilTheUserAsks) {
    SetDisplayAdapter(0x1002, 0x6719);
    Installation install;
    install.WriteCardList(window::kAmdBoard);
    AppRun app(install, L"/tray");
    // The icon's callback window; the main window is shown, not hidden, when the icon cannot be added.
    const HWND tray = WaitProcessWindow(app.ProcessId(), L"Ventiq.TrayWnd");
    ASSERT_NE(tray, nullptr);
    const HWND window = WaitProcessWindow(app.ProcessId(), L"#32770", 0);
    // Readings come from the dialog loop, which shows a dialog as it starts.
    ASSERT_TRUE(window::WaitFirstReadings(window));
    EXPECT_FALSE(::IsWindowVisible(window));

    ::PostMessageW(tray, WM_USER + 1, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(window::WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; }));
}

} // namespace
