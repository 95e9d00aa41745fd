// The command line's options, whole program: /tray.
#include "Harness.h"
#include "test_window_support.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

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
