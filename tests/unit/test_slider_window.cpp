// Tests of the bitmap slider on a real window: mouse, keys, notifications, limits and painting.
#include "ControlHost.h"
#include "ui/BitmapSlider.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kId = 1014;

LPARAM At(int x, int y = 10) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

class SliderWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_host.Create(60, 560, 300, 100));
        m_hSlider = m_host.Child(L"Static", L"", SS_NOTIFY, kId, {20, 30, 109, 44});
        ASSERT_TRUE(m_slider.SubclassWindow(m_hSlider));
        ASSERT_TRUE(m_slider.SetChannelImages(140, 141));
        ASSERT_TRUE(m_slider.SetThumbImages());
    }
    // As the main window sets a slider up: position first, then the limits.
    void Place(int position, int minimum = 30, int maximum = 100) {
        m_slider.SetPosition(position);
        m_slider.SetLimits(minimum, maximum);
        m_slider.SetSideMargins(0, 0);
        Posted(WM_SLIDER_POSCHANGING);
        Posted(WM_SLIDER_POSCHANGED);
    }
    void Send(UINT message, LPARAM point) { ::SendMessageW(m_hSlider, message, MK_LBUTTON, point); }
    // Positions carried by the notifications of one kind posted since the last call.
    std::vector<int> Posted(UINT message) {
        PumpMessages();
        std::vector<int> positions;
        for (const HostMessage& m : m_host.Received(message)) {
            EXPECT_EQ(m.wParam, static_cast<WPARAM>(kId));
            positions.push_back(static_cast<int>(m.lParam));
        }
        std::erase_if(m_host.m_received, [message](const HostMessage& m) { return m.message == message; });
        return positions;
    }

    CTestHost m_host;
    CBitmapSlider m_slider;
    HWND m_hSlider = nullptr;
};

using Positions = std::vector<int>;

TEST_F(SliderWindow, TheControlTakesTheChannelSize) {
    RECT rc{};
    ::GetClientRect(m_hSlider, &rc);
    EXPECT_EQ(rc.right, 160);
    EXPECT_EQ(rc.bottom, 25);
}

TEST_F(SliderWindow, AClickOffTheThumbMovesItsCentreToTheClick) {
    Place(30);
    Send(WM_LBUTTONDOWN, At(80));
    EXPECT_EQ(m_slider.GetPosition(), 65);
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGING), Positions{65});
    EXPECT_TRUE(m_slider.IsDragging());
    EXPECT_EQ(::GetCapture(), m_hSlider);

    Send(WM_LBUTTONUP, At(80));
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGED), Positions{65});
    EXPECT_FALSE(m_slider.IsDragging());
    EXPECT_NE(::GetCapture(), m_hSlider);
}

TEST_F(SliderWindow, AClickOnTheThumbKeepsTheGrabOffset) {
    Place(65);
    Send(WM_LBUTTONDOWN, At(90)); // 10 pixels right of the centre: the thumb stays
    EXPECT_EQ(m_slider.GetPosition(), 65);
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGING), Positions{});
    Send(WM_MOUSEMOVE, At(100)); // the centre follows to 90
    EXPECT_EQ(m_slider.GetPosition(), 70);
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGING), Positions{70});
}

TEST_F(SliderWindow, DraggingPastEitherEndStopsAtTheLimits) {
    Place(65);
    Send(WM_LBUTTONDOWN, At(80));
    Send(WM_MOUSEMOVE, At(-100));
    EXPECT_EQ(m_slider.GetPosition(), 30);
    Send(WM_MOUSEMOVE, At(1000));
    EXPECT_EQ(m_slider.GetPosition(), 100);
    Send(WM_MOUSEMOVE, At(2000)); // the centre is at the end already
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGING), (Positions{30, 100}));
    Send(WM_LBUTTONUP, At(2000)); // released away from the slider, which holds the capture
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGED), Positions{100});
}

TEST_F(SliderWindow, ADragEndsOnceWhicheverWayTheMouseIsLost) {
    const struct {
        const char* way;
        void (*end)(HWND slider, HWND other);
    } ways[] = {
        {"release", [](HWND slider, HWND) { ::SendMessageW(slider, WM_LBUTTONUP, 0, At(80)); }},
        {"another window takes the mouse", [](HWND, HWND other) { ::SetCapture(other); }},
        {"the capture is released under it", [](HWND, HWND) { ::ReleaseCapture(); }},
    };
    for (const auto& w : ways) {
        Place(30);
        Send(WM_LBUTTONDOWN, At(80));
        ASSERT_TRUE(m_slider.IsDragging()) << w.way;
        w.end(m_hSlider, m_host.GetSafeHwnd());
        EXPECT_FALSE(m_slider.IsDragging()) << w.way;
        EXPECT_EQ(Posted(WM_SLIDER_POSCHANGED), Positions{65}) << w.way;
        // Later moves with no button held leave the thumb alone.
        ::SendMessageW(m_hSlider, WM_MOUSEMOVE, 0, At(140));
        EXPECT_EQ(m_slider.GetPosition(), 65) << w.way;
        ::ReleaseCapture();
        EXPECT_EQ(Posted(WM_SLIDER_POSCHANGED), Positions{}) << w.way;
    }
}

TEST_F(SliderWindow, AQuickSecondPressIsAPressToo) {
    Place(30);
    Send(WM_LBUTTONDOWN, At(80));
    Send(WM_LBUTTONUP, At(80));
    Send(WM_LBUTTONDBLCLK, At(140));
    EXPECT_EQ(m_slider.GetPosition(), 100);
    EXPECT_TRUE(m_slider.IsDragging());
    EXPECT_EQ(::GetCapture(), m_hSlider);
}

TEST_F(SliderWindow, OnlyAMoveToAnotherPixelThanThePositionsPosts) {
    Place(65);
    Send(WM_LBUTTONDOWN, At(80)); // exactly on the centre
    Send(WM_MOUSEMOVE, At(81));   // still position 65, but another pixel
    Send(WM_MOUSEMOVE, At(81));
    Send(WM_MOUSEMOVE, At(80));
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGING), (Positions{65, 65}));
    EXPECT_EQ(m_slider.GetPosition(), 65);
}

TEST_F(SliderWindow, MovesWithoutAPressDoNothing) {
    Place(65);
    Send(WM_MOUSEMOVE, At(120));
    EXPECT_EQ(m_slider.GetPosition(), 65);
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGING), Positions{});
}

TEST_F(SliderWindow, AReleaseOverTheSliderPostsTheEndEvenWithoutADrag) {
    Place(42);
    Send(WM_LBUTTONUP, At(150));
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGED), Positions{42});
    EXPECT_EQ(m_slider.GetPosition(), 42);
}

TEST_F(SliderWindow, NavigationKeysMoveAndPostTheEnd) {
    const struct {
        int start;
        WPARAM key;
        int expected;
    } cases[] = {
        {50, VK_PRIOR, 30}, {50, VK_NEXT, 70},    {50, VK_END, 100}, {50, VK_HOME, 30},  {50, VK_LEFT, 49},
        {50, VK_UP, 49},    {50, VK_RIGHT, 51},   {50, VK_DOWN, 51}, {40, VK_PRIOR, 30}, {90, VK_NEXT, 100},
        {30, VK_HOME, 30},  {100, VK_RIGHT, 100}, {30, VK_LEFT, 30},
    };
    for (const auto& c : cases) {
        Place(c.start);
        ::SendMessageW(m_hSlider, WM_KEYDOWN, c.key, 0);
        EXPECT_EQ(m_slider.GetPosition(), c.expected) << "key " << c.key << " from " << c.start;
        EXPECT_EQ(Posted(WM_SLIDER_POSCHANGED), Positions{c.expected})
            << "key " << c.key << " from " << c.start;
    }
    Place(50);
    ::SendMessageW(m_hSlider, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(m_slider.GetPosition(), 50);
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGED), Positions{});
}

TEST_F(SliderWindow, TheSliderAsksForTheNavigationKeys) {
    EXPECT_EQ(::SendMessageW(m_hSlider, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
}

TEST_F(SliderWindow, ADisabledSliderIgnoresMouseAndKeys) {
    Place(50);
    m_slider.EnableSlider(FALSE);
    Send(WM_LBUTTONDOWN, At(120));
    Send(WM_MOUSEMOVE, At(130));
    ::SendMessageW(m_hSlider, WM_KEYDOWN, VK_END, 0);
    Send(WM_LBUTTONUP, At(130));
    EXPECT_EQ(m_slider.GetPosition(), 50);
    EXPECT_FALSE(m_slider.IsDragging());
    EXPECT_NE(::GetCapture(), m_hSlider);
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGING), Positions{});
    EXPECT_EQ(Posted(WM_SLIDER_POSCHANGED), Positions{});
}

TEST_F(SliderWindow, DisablingDuringADragEndsIt) {
    Place(50);
    Send(WM_LBUTTONDOWN, At(120));
    ASSERT_TRUE(m_slider.IsDragging());
    m_slider.EnableSlider(FALSE);
    EXPECT_FALSE(m_slider.IsDragging());
    EXPECT_NE(::GetCapture(), m_hSlider);
    EXPECT_FALSE(m_slider.IsSliderEnabled());
}

TEST_F(SliderWindow, SetLimitsLeavesThePositionOutsideUntilTheNextSetter) {
    Place(20); // set while the limits are still 0..100
    EXPECT_EQ(m_slider.GetPosition(), 20);
    EXPECT_EQ(m_slider.GetMinimum(), 30);
    EXPECT_EQ(m_slider.GetMaximum(), 100);
    m_slider.SetPosition(20);
    EXPECT_EQ(m_slider.GetPosition(), 30);
    m_slider.SetPosition(500);
    EXPECT_EQ(m_slider.GetPosition(), 100);
}

// ---- painting ----

// The slider as it should look: the channel lit up to the thumb centre (or plain), and the thumb
// over it where its image is not black.
Pixels ExpectedSlider(int centre, bool enabled, UINT thumbId) {
    BitmapHandle normal = LoadBitmapResource(140);
    BitmapHandle lit = LoadBitmapResource(141);
    BitmapHandle thumb = LoadBitmapResource(thumbId);
    const Pixels plain = BitmapPixels(normal.get());
    const Pixels active = BitmapPixels(lit.get());
    const Pixels knob = BitmapPixels(thumb.get());
    Pixels expected = plain;
    for (int y = 0; y < expected.nHeight; ++y) {
        for (int x = 0; x < expected.nWidth; ++x) {
            COLORREF colour = enabled && x < centre ? active.At(x, y) : plain.At(x, y);
            const int tx = x - (centre - knob.nWidth / 2);
            if (enabled && tx >= 0 && tx < knob.nWidth && y < knob.nHeight &&
                knob.At(tx, y) != RGB(0, 0, 0)) {
                colour = knob.At(tx, y);
            }
            expected.colours[static_cast<size_t>(y) * expected.nWidth + x] = colour;
        }
    }
    return expected;
}

// Pixels that differ, leaving out a border of the given width (where a focus rectangle goes).
int Differences(const Pixels& shown, const Pixels& expected, int border = 0) {
    int count = 0;
    for (int y = border; y < expected.nHeight - border; ++y) {
        for (int x = border; x < expected.nWidth - border; ++x) {
            count += shown.At(x, y) != expected.At(x, y) ? 1 : 0;
        }
    }
    return count;
}

TEST_F(SliderWindow, TheChannelIsLitUpToTheThumbCentre) {
    Place(65);
    const Pixels shown = CaptureClient(m_hSlider);
    ASSERT_EQ(shown.nWidth, 160);
    EXPECT_EQ(Differences(shown, ExpectedSlider(80, true, 142)), 0);
}

TEST_F(SliderWindow, APositionBelowTheLimitsIsDrawnWhereItMaps) {
    Place(20);
    EXPECT_EQ(Differences(CaptureClient(m_hSlider), ExpectedSlider(3, true, 142)), 0);
}

TEST_F(SliderWindow, ADraggedThumbIsLit) {
    Place(30);
    Send(WM_LBUTTONDOWN, At(80));
    EXPECT_EQ(Differences(CaptureClient(m_hSlider), ExpectedSlider(80, true, 143), 1), 0);
}

TEST_F(SliderWindow, ADisabledSliderShowsAPlainChannelWithoutThumb) {
    Place(65);
    m_slider.EnableSlider(FALSE);
    EXPECT_EQ(Differences(CaptureClient(m_hSlider), ExpectedSlider(80, false, 142)), 0);
}

} // namespace
