// Tests of the skin button on a real window: image by state, pushed look, checks and clicks.
#include "ControlHost.h"
#include "ui/SkinButton.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kId = 1000;
// MINI's images, with CLOSE's normal image standing for a distinct disabled one.
constexpr UINT kNormal = 147;
constexpr UINT kDown = 148;
constexpr UINT kOver = 149;
constexpr UINT kDisabled = 150;
// Host at (100, 100), button at (20, 20) in it: 61 x 26 pixels from (120, 120) on the screen.
constexpr RECT kPlace{20, 20, 81, 46};
constexpr POINT kInsideOnScreen{150, 130};
constexpr POINT kOutsideOnScreen{250, 170};

LPARAM ClientPoint(HWND hWnd, POINT screen) {
    ::ScreenToClient(hWnd, &screen);
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(screen.x)),
                      static_cast<WORD>(static_cast<short>(screen.y)));
}

class SkinButtonWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.Create(100, 100, 300, 100)); }

    HWND AddButton(CxSkinButton& button, DWORD style, int id, RECT place = kPlace) {
        HWND hWnd = m_host.Child(L"Button", L"", style, id, place);
        EXPECT_TRUE(button.SubclassWindow(hWnd));
        button.SetSkinImages(kNormal, kDown, kOver, kDisabled);
        return hWnd;
    }
    void SetUpPushButton() { m_hButton = AddButton(m_button, BS_PUSHBUTTON | WS_TABSTOP, kId); }

    // The cursor goes there, and the button hears of it as the system would tell it.
    void MouseAt(UINT message, POINT screen) {
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(m_hButton, message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON,
                       ClientPoint(m_hButton, screen));
    }
    bool Shows(UINT imageId) {
        BitmapHandle image = LoadBitmapResource(imageId);
        const Pixels expected = BitmapPixels(image.get());
        const Pixels shown = CaptureClient(m_hButton);
        return shown.colours == expected.colours;
    }
    int Clicks() {
        PumpMessages();
        int clicks = 0;
        for (const HostMessage& m : m_host.Received(WM_COMMAND)) {
            clicks += m.wParam == MAKEWPARAM(kId, BN_CLICKED) ? 1 : 0;
        }
        return clicks;
    }
    bool IsPushed() const { return (::SendMessageW(m_hButton, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

    CScreenLock m_lock;
    CTestHost m_host;
    CxSkinButton m_button;
    HWND m_hButton = nullptr;
};

TEST_F(SkinButtonWindow, TheKindComesFromTheStyleAndTheButtonBecomesOwnerDrawn) {
    const struct {
        DWORD style;
        int kind;
    } cases[] = {
        {BS_PUSHBUTTON, CxSkinButton::kPushButton},  {BS_DEFPUSHBUTTON, CxSkinButton::kPushButton},
        {BS_CHECKBOX, CxSkinButton::kPushButton},    {BS_AUTOCHECKBOX, CxSkinButton::kCheckBox},
        {BS_RADIOBUTTON, CxSkinButton::kPushButton}, {BS_AUTORADIOBUTTON, CxSkinButton::kRadioButton},
        {BS_3STATE, CxSkinButton::kPushButton},      {BS_AUTO3STATE, CxSkinButton::kPushButton},
    };
    int id = 2000;
    for (const auto& c : cases) {
        CxSkinButton button;
        HWND hWnd = AddButton(button, c.style, ++id);
        EXPECT_EQ(button.m_nKind, c.kind) << "style " << c.style;
        EXPECT_EQ(::GetWindowLongPtrW(hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << "style " << c.style;
        ::DestroyWindow(hWnd);
    }
}

TEST_F(SkinButtonWindow, EachStateShowsItsImage) {
    SetUpPushButton();
    EXPECT_TRUE(Shows(kNormal));

    MouseAt(WM_MOUSEMOVE, kInsideOnScreen);
    EXPECT_TRUE(m_button.m_bHover);
    EXPECT_TRUE(Shows(kOver));
    ::SendMessageW(m_hButton, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(Shows(kNormal));

    MouseAt(WM_MOUSEMOVE, kInsideOnScreen);
    MouseAt(WM_LBUTTONDOWN, kInsideOnScreen);
    EXPECT_FALSE(m_button.m_bHover); // a press ends the hover look
    EXPECT_TRUE(Shows(kDown));
    MouseAt(WM_LBUTTONUP, kInsideOnScreen);
    EXPECT_TRUE(Shows(kNormal));

    ::EnableWindow(m_hButton, FALSE);
    EXPECT_TRUE(Shows(kDisabled));
}

TEST_F(SkinButtonWindow, AMissingImageShowsAsAFlatFace) {
    SetUpPushButton();
    m_button.SetSkinImages(kNormal, 9999, kOver, kDisabled);
    ::SendMessageW(m_hButton, BM_SETSTATE, TRUE, 0);
    const Pixels shown = CaptureClient(m_hButton);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    int others = 0;
    for (const COLORREF colour : shown.colours) {
        others += colour != face ? 1 : 0;
    }
    EXPECT_EQ(others, 0);
}

TEST_F(SkinButtonWindow, APushButtonNeverLatches) {
    SetUpPushButton();
    ::SendMessageW(m_hButton, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(::SendMessageW(m_hButton, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(Shows(kNormal));
    ::SendMessageW(m_hButton, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(::SendMessageW(m_hButton, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(SkinButtonWindow, ACheckBoxShowsItsCheckAsPressed) {
    m_hButton = AddButton(m_button, BS_AUTOCHECKBOX, kId);
    ::SendMessageW(m_hButton, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(::SendMessageW(m_hButton, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Shows(kDown));
    ::SendMessageW(m_hButton, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(::SendMessageW(m_hButton, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    MouseAt(WM_LBUTTONDOWN, kInsideOnScreen);
    MouseAt(WM_LBUTTONUP, kInsideOnScreen);
    EXPECT_EQ(::SendMessageW(m_hButton, BM_GETCHECK, 0, 0), BST_CHECKED);
    MouseAt(WM_LBUTTONDOWN, kInsideOnScreen);
    MouseAt(WM_LBUTTONUP, kOutsideOnScreen); // released elsewhere: no toggle
    EXPECT_EQ(::SendMessageW(m_hButton, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(SkinButtonWindow, CheckingARadioButtonUnchecksTheRestOfItsGroup) {
    CxSkinButton radios[3];
    HWND handles[3];
    for (int i = 0; i < 3; ++i) {
        handles[i] = AddButton(radios[i], BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), 3000 + i,
                               {20 + 70 * i, 50, 80 + 70 * i, 70});
    }
    CxSkinButton after;
    AddButton(after, BS_AUTORADIOBUTTON | WS_GROUP, 3010, {240, 10, 290, 30});
    ::SendMessageW(handles[0], BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(after.GetSafeHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(handles[1], BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(radios[0].m_bChecked);
    EXPECT_TRUE(radios[1].m_bChecked);
    EXPECT_FALSE(radios[2].m_bChecked);
    EXPECT_TRUE(after.m_bChecked); // another group

    // A disabled button is left out of the group walk; checking it still ends.
    ::EnableWindow(handles[2], FALSE);
    ::SendMessageW(handles[2], BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(radios[2].m_bChecked);
    EXPECT_FALSE(radios[1].m_bChecked);
}

TEST_F(SkinButtonWindow, ThePushedLookFollowsTheCursorWhilePressed) {
    SetUpPushButton();
    MouseAt(WM_LBUTTONDOWN, kInsideOnScreen);
    EXPECT_TRUE(IsPushed());
    EXPECT_TRUE(Shows(kDown));

    MouseAt(WM_MOUSEMOVE, kOutsideOnScreen);
    EXPECT_FALSE(IsPushed());
    EXPECT_TRUE(Shows(kNormal));

    MouseAt(WM_MOUSEMOVE, kInsideOnScreen);
    EXPECT_TRUE(IsPushed());
    EXPECT_TRUE(Shows(kDown));

    MouseAt(WM_MOUSEMOVE, kOutsideOnScreen);
    MouseAt(WM_LBUTTONUP, kOutsideOnScreen);
    EXPECT_EQ(Clicks(), 0); // released off the button: no command
    EXPECT_FALSE(m_button.m_bPressed);
}

TEST_F(SkinButtonWindow, ARepaintWhilePressedFollowsTheCursorToo) {
    SetUpPushButton();
    MouseAt(WM_LBUTTONDOWN, kInsideOnScreen);
    ::SetCursorPos(kOutsideOnScreen.x, kOutsideOnScreen.y);
    ::InvalidateRect(m_hButton, nullptr, FALSE);
    EXPECT_TRUE(Shows(kNormal));
    EXPECT_FALSE(IsPushed());
}

TEST_F(SkinButtonWindow, AClickAndADoubleClickAreTwoClicks) {
    SetUpPushButton();
    MouseAt(WM_LBUTTONDOWN, kInsideOnScreen);
    MouseAt(WM_LBUTTONUP, kInsideOnScreen);
    MouseAt(WM_LBUTTONDBLCLK, kInsideOnScreen);
    MouseAt(WM_LBUTTONUP, kInsideOnScreen);
    EXPECT_EQ(Clicks(), 2);
}

TEST_F(SkinButtonWindow, LosingTheFocusEndsAPress) {
    SetUpPushButton();
    MouseAt(WM_LBUTTONDOWN, kInsideOnScreen);
    ASSERT_EQ(::GetCapture(), m_hButton);
    ::SendMessageW(m_hButton, WM_KILLFOCUS, 0, 0);
    EXPECT_NE(::GetCapture(), m_hButton);
    EXPECT_FALSE(m_button.m_bPressed);
}

TEST_F(SkinButtonWindow, TheCursorIsAHand) {
    SetUpPushButton();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(::SendMessageW(m_hButton, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hButton),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

} // namespace
