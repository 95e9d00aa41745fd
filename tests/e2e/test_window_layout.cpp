// The dressed main window, end to end: its size, place and outline, every control's place and size,
// the emptied captions and the tooltips of RESET and APPLY.
#include "test_window_support.h"

#include <commctrl.h>

using namespace e2e;
using namespace e2e::window;

namespace {

struct Place {
    int id;
    int x;
    int y;
    int width;
    int height;
};

// Client pixels on the 800 x 395 skin.
const Place kPlaces[] = {
    {1000, 567, 8, 61, 26},     // MINI
    {1001, 629, 8, 61, 26},     // CLOSE
    {1012, 81, 319, 120, 25},   // RESET
    {1013, 563, 319, 120, 25},  // APPLY
    {1014, 294, 303, 160, 25},  // outer-fan slider
    {1015, 294, 358, 160, 25},  // middle-fan slider
    {1010, 462, 305, 40, 21},   // outer-fan box
    {1011, 462, 360, 40, 21},   // middle-fan box
    {1017, 460, 282, 45, 21},   // Auto1
    {1018, 460, 337, 45, 21},   // Auto2
    {1016, 180, 56, 25, 19},    // unit after the GPU temperature
    {1019, 180, 77, 25, 19},    // unit after the PWM module temperature
    {1002, 155, 52, 40, 25},    // GPU temperature
    {1006, 155, 74, 40, 25},    // PWM module temperature
    {1003, 100, 170, 120, 40},  // left fan speed
    {1004, 580, 170, 120, 40},  // right fan speed
    {1005, 340, 147, 120, 40},  // centre fan speed
    {1021, 55, 113, 170, 170},  // left fan area
    {1022, 536, 113, 170, 170}, // right fan area
    {1023, 312, 103, 140, 140}, // centre fan area
};

RECT ClientRectOf(HWND window, HWND control) {
    RECT rc{};
    ::GetWindowRect(control, &rc);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

class Layout : public ::testing::TestWithParam<Vendor> {};

TEST_P(Layout, EveryControlSitsAtItsPlaceWithItsSize) {
    Board board(GetParam());
    ASSERT_TRUE(board.WaitReady());
    for (const Place& place : kPlaces) {
        SCOPED_TRACE(place.id);
        const HWND control = board.Item(place.id);
        ASSERT_NE(control, nullptr);
        const RECT rc = ClientRectOf(board.Window(), control);
        EXPECT_EQ(rc.left, place.x);
        EXPECT_EQ(rc.top, place.y);
        EXPECT_EQ(rc.right - rc.left, place.width);
        EXPECT_EQ(rc.bottom - rc.top, place.height);
    }
}

TEST_P(Layout, TheWindowIsTheWholeSkinPlacedByTheMaximisedArea) {
    Board board(GetParam());
    ASSERT_TRUE(board.WaitReady());
    RECT rcWindow{};
    RECT rcClient{};
    ::GetWindowRect(board.Window(), &rcWindow);
    ::GetClientRect(board.Window(), &rcClient);
    EXPECT_EQ(rcWindow.right - rcWindow.left, 800);
    EXPECT_EQ(rcWindow.bottom - rcWindow.top, 395);
    EXPECT_EQ(rcClient.right, 800);
    EXPECT_EQ(rcClient.bottom, 395);
    // x centres the 800-pixel skin; y is half the maximised height less 187.5, truncated.
    const int halfWidth = ::GetSystemMetrics(SM_CXMAXIMIZED) / 2;
    const int halfHeight = ::GetSystemMetrics(SM_CYMAXIMIZED) / 2;
    EXPECT_EQ(rcWindow.left, halfWidth - 400);
    EXPECT_EQ(rcWindow.top, static_cast<int>(halfHeight - 187.5));
}

TEST_P(Layout, TheOutlineIsCutFromTheWholeSkin) {
    Board board(GetParam());
    ASSERT_TRUE(board.WaitReady());
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(board.Window(), region), ERROR);
    RECT box{};
    ::GetRgnBox(region, &box);
    // The card spans columns 6..793 and every row of the 395-pixel skin.
    EXPECT_EQ(box.left, 6);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 794);
    EXPECT_EQ(box.bottom, 395);
    EXPECT_FALSE(::PtInRegion(region, 0, 0)) << "the key-colour corner is outside";
    EXPECT_TRUE(::PtInRegion(region, 400, 200));
    ::DeleteObject(region);
}

TEST_P(Layout, ButtonsAndFanAreasLoseTheirTemplateCaptions) {
    Board board(GetParam());
    ASSERT_TRUE(board.WaitReady());
    for (int id : {1000, 1001, 1012, 1013, 1017, 1018, 1021, 1022, 1023}) {
        EXPECT_EQ(board.Text(id), L"") << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Vendors, Layout, ::testing::Values(Vendor::Amd, Vendor::Nvidia),
                         [](const auto& info) { return std::string(VendorName(info.param)); });

struct ToolTipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindToolTip(HWND candidate, LPARAM param) {
    auto* s = reinterpret_cast<ToolTipSearch*>(param);
    wchar_t className[64] = {};
    ::GetClassNameW(candidate, className, 64);
    if (_wcsicmp(className, TOOLTIPS_CLASSW) == 0 && ::GetWindow(candidate, GW_OWNER) == s->owner) {
        s->found = candidate;
        return FALSE;
    }
    return TRUE;
}

// The tooltip control of the process (a popup owned by the main window).
HWND ToolTipOf(HWND window) {
    ToolTipSearch search{window, nullptr};
    ::EnumWindows(&FindToolTip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(ToolTips, ResetAndApplyHaveTheirTips) {
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    const HWND tip = ToolTipOf(board.Window());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);

    // Hover over APPLY once it is enabled (switching the outer fans to manual and back lights it):
    // the relayed mouse moves make the tip show its text.
    Command(board.Window(), 1017);
    Command(board.Window(), 1017);
    ASSERT_TRUE(WaitUntil([&] { return board.Enabled(1013); }));
    // Tips show only over the active window.
    ::SetForegroundWindow(board.Window());
    // Each relayed move restarts the tip's delay, so the mouse moves once and then rests.
    const auto tipOver = [&](int id, const wchar_t* text) {
        RECT rcButton{};
        ::GetWindowRect(board.Item(id), &rcButton);
        MoveMouse((rcButton.left + rcButton.right) / 2, (rcButton.top + rcButton.bottom) / 2);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(tip) && WindowText(tip) == text; }))
            << id << " tip text: " << testing::PrintToString(WindowText(tip));
    };
    tipOver(1013, L"Apply Fan speed setting.");

    // Applying a manual outer-fan setting lights RESET.
    Command(board.Window(), 1017);
    Command(board.Window(), 1013);
    ASSERT_TRUE(WaitUntil([&] { return board.Enabled(1012); }));
    tipOver(1012, L"Reset Fan speed to default setting.");
    MoveMouse(0, 0);
}

} // namespace
