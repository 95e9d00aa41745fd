// Tests of the label on a real window: text changes over the skin, fonts, styles, clicks, backgrounds.
#include "ControlHost.h"
#include "ui/Label.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kAmber = RGB(255, 222, 0);
constexpr RECT kPlace{20, 20, 140, 60}; // 120 x 40, as the fan-speed readouts

class LabelWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Create(560, 560, 300, 130)); }

    // A readout as the main window dresses one: see-through, a large face, amber.
    HWND AddReadout(CLabel& label, const wchar_t* text, RECT place, DWORD style = SS_LEFT) {
        HWND hWnd = m_host.Child(L"Static", text, style, 1003, place, WS_EX_TRANSPARENT);
        EXPECT_TRUE(label.SubclassWindow(hWnd));
        label.SetFaceName(L"Tahoma", 0).SetPointSize(24).SetForeColour(kAmber);
        return hWnd;
    }
    // What the screen shows where a label lies on the host, once everything pending has painted
    // (a label repaints with the window's next update).
    Pixels Shown(const RECT& place) {
        ::RedrawWindow(m_host.GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = ::GetDC(m_host.GetSafeHwnd());
        Pixels pixels =
            ReadPixels(dc, place.left, place.top, place.right - place.left, place.bottom - place.top);
        ::ReleaseDC(m_host.GetSafeHwnd(), dc);
        return pixels;
    }
    // Pixels that differ between two pictures of the same size.
    static int Differences(const Pixels& a, const Pixels& b) {
        int count = 0;
        for (size_t i = 0; i < a.colours.size(); ++i) {
            count += a.colours[i] != b.colours[i] ? 1 : 0;
        }
        return count;
    }
    static int CountOf(const Pixels& pixels, COLORREF colour) {
        int count = 0;
        for (const COLORREF c : pixels.colours) {
            count += c == colour ? 1 : 0;
        }
        return count;
    }

    CScreenLock m_lock;
    CTestHost m_host;
    CLabel m_label;
};

TEST_F(LabelWindow, ANewTextLeavesNoTraceOfTheOldOne) {
    HWND hWnd = AddReadout(m_label, L"888%", kPlace);
    const Pixels before = Shown(kPlace);
    ASSERT_GT(CountOf(before, kAmber), 50) << "the first text is not drawn";

    ::SetWindowTextW(hWnd, L"");
    const Pixels cleared = Shown(kPlace);
    EXPECT_EQ(CountOf(cleared, kHostBackground), static_cast<int>(cleared.colours.size()));

    // The new caption must look exactly like a label that never showed anything else.
    CLabel reference;
    const RECT referencePlace{150, 20, 270, 60};
    AddReadout(reference, L"1", referencePlace);
    const Pixels expected = Shown(referencePlace);
    ::SetWindowTextW(hWnd, L"888%");
    ::SetWindowTextW(hWnd, L"1");
    EXPECT_EQ(Differences(Shown(kPlace), expected), 0);

    m_label.SetCaption(L"888%").SetCaption(L"1");
    EXPECT_EQ(Differences(Shown(kPlace), expected), 0);
    wchar_t text[16] = {};
    ::GetWindowTextW(hWnd, text, 16);
    EXPECT_EQ(std::wstring(text), L"1");
}

TEST_F(LabelWindow, OverlappingLabelsKeepBothCaptionsWhicheverOfThemRepaints) {
    // A value and its unit overlap; each paints the skin beneath it, so each must carry the other's
    // caption where they overlap.
    constexpr COLORREF kGreen = RGB(0, 255, 0);
    const RECT both{20, 20, 180, 60};
    const HWND value = AddReadout(m_label, L"8", kPlace);
    CLabel unit;
    const HWND unitWindow = AddReadout(unit, L"8", RECT{60, 20, 180, 60});
    unit.SetForeColour(kGreen);
    ::RedrawWindow(m_host.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    const Pixels expected = Shown(both);
    ASSERT_GT(CountOf(expected, kAmber), 20);
    ASSERT_GT(CountOf(expected, kGreen), 20);
    for (const HWND repainted : {value, unitWindow}) {
        ::InvalidateRect(repainted, nullptr, FALSE);
        EXPECT_EQ(Differences(Shown(both), expected), 0);
    }
}

TEST_F(LabelWindow, ThePointSizeIsMeasuredForTheFaceAndKeepsTheOtherAttributes) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (dpi != 96) {
        GTEST_SKIP() << "the table is for 96 DPI";
    }
    m_label.SubclassWindow(m_host.Child(L"Static", L"30", SS_LEFT, 1002, kPlace));
    m_label.SetBoldWeight(true).SetItalicStyle(true).SetUnderlined(true);
    const struct {
        int points;
        LONG height;
    } cases[] = {{11, -15}, {12, -16}, {13, -17}, {14, -19}, {16, -21},
                 {18, -24}, {20, -27}, {24, -32}, {29, -39}, {36, -48}};
    for (const auto& c : cases) {
        m_label.SetFaceName(L"Courier New", ANSI_CHARSET).SetPointSize(c.points);
        const LOGFONTW& lf = m_label.GetFontDescription();
        EXPECT_EQ(lf.lfHeight, c.height) << c.points << " pt";
        EXPECT_EQ(lf.lfWidth, 0);
        EXPECT_EQ(std::wstring(lf.lfFaceName), L"Courier New");
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_TRUE(lf.lfItalic);
        EXPECT_TRUE(lf.lfUnderline);
    }
}

TEST_F(LabelWindow, APointSizeAtAGivenDpiDoesNotAskTheScreen) {
    m_label.SubclassWindow(m_host.Child(L"Static", L"30", SS_LEFT, 1002, kPlace));
    const struct {
        int points;
        int dpi;
        LONG height;
    } cases[] = {{36, 96, -48}, {29, 120, -48}, {24, 144, -48}, {13, 120, -22}, {14, 96, -19}};
    for (const auto& c : cases) {
        m_label.SetPointSizeAt(c.points, c.dpi);
        EXPECT_EQ(m_label.GetFontDescription().lfHeight, c.height) << c.points << " pt at " << c.dpi;
    }
}

TEST_F(LabelWindow, FontSettersChangeOnlyTheirField) {
    m_label.SubclassWindow(m_host.Child(L"Static", L"30", SS_LEFT, 1002, kPlace));
    const LOGFONTW& lf = m_label.GetFontDescription();
    m_label.SetBoldWeight(true);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    m_label.SetBoldWeight(false);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    m_label.SetUnderlined(true);
    EXPECT_TRUE(lf.lfUnderline);
    m_label.SetItalicStyle(true);
    EXPECT_TRUE(lf.lfItalic);
    m_label.SetRotation(90, true);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfOrientation, 900);
    m_label.SetFaceName(L"DS-Digital", DEFAULT_CHARSET);
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"DS-Digital");
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    m_label.SetFaceName(L"A face name much longer than thirty-one characters", 0);
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"A face name much longer than th");
}

TEST_F(LabelWindow, StyleSettersSwitchTheirStyleBothWays) {
    HWND hWnd = m_host.Child(L"Static", L"30", SS_LEFT, 1002, kPlace);
    m_label.SubclassWindow(hWnd);
    const auto style = [hWnd] { return ::GetWindowLongPtrW(hWnd, GWL_STYLE); };
    const auto exStyle = [hWnd] { return ::GetWindowLongPtrW(hWnd, GWL_EXSTYLE); };
    m_label.SetSunkenEdge(true);
    EXPECT_NE(exStyle() & WS_EX_STATICEDGE, 0);
    m_label.SetSunkenEdge(false);
    EXPECT_EQ(exStyle() & WS_EX_STATICEDGE, 0);
    m_label.SetFrame(true);
    EXPECT_NE(style() & WS_BORDER, 0);
    m_label.SetFrame(false);
    EXPECT_EQ(style() & WS_BORDER, 0);
    m_label.SetHyperlink(true, false);
    EXPECT_NE(style() & SS_NOTIFY, 0);
    m_label.SetHyperlink(false, false);
    EXPECT_EQ(style() & SS_NOTIFY, 0);
    m_label.SetSeeThrough(true);
    EXPECT_NE(exStyle() & WS_EX_TRANSPARENT, 0);
    m_label.SetSeeThrough(false);
    EXPECT_EQ(exStyle() & WS_EX_TRANSPARENT, 0);
}

TEST_F(LabelWindow, AClickOnALabelThatNotifiesGoesToTheParent) {
    HWND hWnd = m_host.Child(L"Static", L"45%", SS_LEFT, 1003, kPlace);
    m_label.SubclassWindow(hWnd);
    m_label.SetHyperlink(true, true);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(m_host.m_notifications.size(), 1u);
    EXPECT_EQ(m_host.m_notifications[0].hwndFrom, hWnd);
    EXPECT_EQ(m_host.m_notifications[0].idFrom, 1003u);
    EXPECT_EQ(m_host.m_notifications[0].code, NM_LABELCLICK);
    EXPECT_EQ(m_host.Received(WM_NOTIFY).front().wParam, 1003u);
}

TEST_F(LabelWindow, AReadoutWithoutTheNotifyStyleLetsClicksThroughToTheWindowBeneath) {
    HWND hWnd = AddReadout(m_label, L"45%", kPlace);
    POINT inside{kPlace.left + 10, kPlace.top + 10};
    ::ClientToScreen(m_host.GetSafeHwnd(), &inside);
    EXPECT_EQ(::SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTTRANSPARENT);
    EXPECT_EQ(::WindowFromPoint(inside), m_host.GetSafeHwnd());
}

TEST_F(LabelWindow, AnOpaqueLabelFillsItsBackground) {
    AddReadout(m_label, L"", kPlace);
    m_label.SetSeeThrough(false);
    EXPECT_EQ(CountOf(Shown(kPlace), RGB(0x7E, 0x7E, 0x7E)), 120 * 40);
    m_label.SetBackground(RGB(10, 20, 30));
    EXPECT_EQ(CountOf(Shown(kPlace), RGB(10, 20, 30)), 120 * 40);

    // Forty bands (the label's height) from the first colour toward the second.
    m_label.SetBackground(RGB(0, 0, 0), RGB(200, 100, 50), CLabel::kGradientAcross);
    Pixels shown = Shown(kPlace);
    EXPECT_EQ(shown.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(shown.At(2, 39), RGB(0, 0, 0));
    EXPECT_EQ(shown.At(3, 0), RGB(5, 2, 1));
    EXPECT_EQ(shown.At(119, 20), RGB(195, 97, 48));
    m_label.SetBackground(RGB(0, 0, 0), RGB(200, 100, 50), CLabel::kGradientDown);
    shown = Shown(kPlace);
    EXPECT_EQ(shown.At(119, 0), RGB(0, 0, 0));
    EXPECT_EQ(shown.At(0, 39), RGB(195, 97, 48));
}

TEST_F(LabelWindow, BlinkingTextHidesAndShowsTheCaptionOnEachTick) {
    AddReadout(m_label, L"888", kPlace);
    m_label.SetSeeThrough(false);
    m_label.SetBackground(RGB(10, 20, 30));
    m_label.SetBlinkingText(true); // shows from the next paint
    ::InvalidateRect(m_label.GetSafeHwnd(), nullptr, TRUE);
    EXPECT_EQ(CountOf(Shown(kPlace), RGB(10, 20, 30)), 120 * 40);
    ::SendMessageW(m_label.GetSafeHwnd(), WM_TIMER, 1, 0);
    EXPECT_GT(CountOf(Shown(kPlace), kAmber), 50);
    ::SendMessageW(m_label.GetSafeHwnd(), WM_TIMER, 1, 0);
    EXPECT_EQ(CountOf(Shown(kPlace), RGB(10, 20, 30)), 120 * 40);
    m_label.SetBlinkingText(false);
    ::InvalidateRect(m_label.GetSafeHwnd(), nullptr, TRUE);
    EXPECT_GT(CountOf(Shown(kPlace), kAmber), 50);
}

TEST_F(LabelWindow, AnEmbossedCaptionHasAnOffsetCopy) {
    AddReadout(m_label, L"888", kPlace);
    EXPECT_EQ(CountOf(Shown(kPlace), RGB(255, 0, 0)), 0);
    m_label.SetEmbossColour(RGB(255, 0, 0)).SetEmbossed(true, true);
    EXPECT_GT(CountOf(Shown(kPlace), RGB(255, 0, 0)), 10);
}

TEST_F(LabelWindow, TheAlignmentStyleDecidesWhereTheTextGoes) {
    const struct {
        DWORD style;
        bool left;
        bool right;
    } cases[] = {{SS_LEFT, true, false}, {SS_RIGHT, false, true}, {SS_LEFTNOWORDWRAP, true, false}};
    int id = 1100;
    for (const auto& c : cases) {
        CLabel label;
        HWND hWnd = m_host.Child(L"Static", L"1", c.style, ++id, kPlace, WS_EX_TRANSPARENT);
        label.SubclassWindow(hWnd);
        label.SetFaceName(L"Tahoma", 0).SetPointSize(24).SetForeColour(kAmber);
        const Pixels shown = Shown(kPlace);
        int leftHalf = 0;
        int rightHalf = 0;
        for (int y = 0; y < shown.nHeight; ++y) {
            for (int x = 0; x < shown.nWidth; ++x) {
                (x < shown.nWidth / 2 ? leftHalf : rightHalf) += shown.At(x, y) == kAmber ? 1 : 0;
            }
        }
        EXPECT_EQ(leftHalf > 0, c.left) << "style " << c.style;
        EXPECT_EQ(rightHalf > 0, c.right) << "style " << c.style;
        ::DestroyWindow(hWnd);
        ::RedrawWindow(m_host.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

TEST_F(LabelWindow, AHyperlinkCursorIsShownOverTheLabel) {
    HWND hWnd = m_host.Child(L"Static", L"x", SS_NOTIFY, 1003, kPlace);
    m_label.SubclassWindow(hWnd);
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    m_label.SetHyperlinkCursor(hand);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(::SendMessageW(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), hand);
}

} // namespace
