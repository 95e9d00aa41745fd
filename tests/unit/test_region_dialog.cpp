// Tests of the skinned dialog on a real window: its outline, background, drag and static colours.
#include "ControlHost.h"
#include "ui/GdiHandle.h"
#include "ui/WindowRegion.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

constexpr COLORREF kKey = RGB(255, 0, 0);
constexpr COLORREF kCard = RGB(30, 90, 30);

// A 24-bit picture of key colour with card-coloured rectangles on it.
BitmapHandle KeyPictureWith(int width, int height, const std::vector<RECT>& card) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle picture(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    CBitmapDC dc(nullptr, picture.get());
    BrushHandle key(::CreateSolidBrush(kKey));
    BrushHandle body(::CreateSolidBrush(kCard));
    const RECT all{0, 0, width, height};
    ::FillRect(dc, &all, key.get());
    for (const RECT& rc : card) {
        ::FillRect(dc, &rc, body.get());
    }
    return picture;
}

RegionHandle RegionOf(const std::vector<RECT>& rects) {
    RegionHandle region(::CreateRectRgn(0, 0, 0, 0));
    for (const RECT& rc : rects) {
        RegionHandle part(::CreateRectRgnIndirect(&rc));
        ::CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
    }
    return region;
}

RegionHandle WindowRegionOf(HWND hWnd) {
    RegionHandle region(::CreateRectRgn(0, 0, 0, 0));
    ::GetWindowRgn(hWnd, region.get());
    return region;
}

class SkinnedDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_host.Create(420, 60, 120, 80));
        m_host.m_crKey = kKey;
    }
    // A picture the test owns, shown by the dialog.
    void UsePicture(BitmapHandle picture) {
        m_picture = std::move(picture);
        m_host.m_pBackground = m_picture.get();
    }
    void TearDown() override { m_host.m_pBackground = nullptr; }

    CTestHost m_host;
    BitmapHandle m_picture;
};

TEST_F(SkinnedDialog, ShapingOffGivesTheWholeWindowWhateverThePicture) {
    UsePicture(KeyPictureWith(120, 80, {}));
    m_host.m_bShapeFromBitmap = FALSE;
    m_host.BuildWindowRegion();
    EXPECT_TRUE(::EqualRgn(WindowRegionOf(m_host.GetSafeHwnd()).get(), RegionOf({{0, 0, 120, 80}}).get()));
}

TEST_F(SkinnedDialog, ShapingCutsEveryKeyPixelOut) {
    UsePicture(KeyPictureWith(120, 80, {{10, 5, 100, 70}, {110, 75, 111, 76}}));
    m_host.m_bShapeFromBitmap = TRUE;
    m_host.BuildWindowRegion();
    EXPECT_TRUE(::EqualRgn(WindowRegionOf(m_host.GetSafeHwnd()).get(),
                           RegionOf({{10, 5, 100, 70}, {110, 75, 111, 76}}).get()));
}

TEST_F(SkinnedDialog, OnlyThePartOfThePictureUnderTheClientAreaCounts) {
    UsePicture(KeyPictureWith(200, 100, {{0, 0, 200, 100}}));
    m_host.m_bShapeFromBitmap = TRUE;
    m_host.BuildWindowRegion();
    EXPECT_TRUE(::EqualRgn(WindowRegionOf(m_host.GetSafeHwnd()).get(), RegionOf({{0, 0, 120, 80}}).get()));

    UsePicture(KeyPictureWith(50, 30, {{0, 0, 50, 30}}));
    m_host.BuildWindowRegion();
    EXPECT_TRUE(::EqualRgn(WindowRegionOf(m_host.GetSafeHwnd()).get(), RegionOf({{0, 0, 50, 30}}).get()));
}

TEST_F(SkinnedDialog, ShapingWithoutAPictureKeepsTheWholeWindow) {
    m_host.m_bShapeFromBitmap = TRUE;
    m_host.BuildWindowRegion();
    EXPECT_TRUE(::EqualRgn(WindowRegionOf(m_host.GetSafeHwnd()).get(), RegionOf({{0, 0, 120, 80}}).get()));
}

TEST_F(SkinnedDialog, LoadBackgroundCutsTheOutlineOfEachNewPicture) {
    m_host.m_bShapeFromBitmap = TRUE;
    const SIZE size{120, 80};
    for (const UINT id : {135u, 170u}) {
        ASSERT_TRUE(m_host.LoadBackground(id));
        EXPECT_TRUE(m_host.m_bOwnsBitmap);
        EXPECT_TRUE(m_host.m_bDrawBitmap);
        BitmapHandle reference(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
        const RegionHandle expected(BuildRegionByPixels(reference.get(), size, size, kKey));
        EXPECT_TRUE(::EqualRgn(WindowRegionOf(m_host.GetSafeHwnd()).get(), expected.get()))
            << "bitmap " << id;
    }
}

TEST_F(SkinnedDialog, AMissingPictureDrawsNothingAndKeepsTheOutline) {
    m_host.m_bShapeFromBitmap = TRUE;
    ASSERT_TRUE(m_host.LoadBackground(135));
    const RegionHandle before = WindowRegionOf(m_host.GetSafeHwnd());
    EXPECT_FALSE(m_host.LoadBackground(9999));
    EXPECT_FALSE(m_host.m_bOwnsBitmap);
    EXPECT_FALSE(m_host.m_bDrawBitmap);
    EXPECT_EQ(m_host.m_pBackground, nullptr);
    EXPECT_TRUE(::EqualRgn(WindowRegionOf(m_host.GetSafeHwnd()).get(), before.get()));
}

TEST_F(SkinnedDialog, ThePictureIsTheBackgroundOneToOne) {
    ASSERT_TRUE(m_host.LoadBackground(169));
    ::InvalidateRect(m_host.GetSafeHwnd(), nullptr, TRUE);
    const Pixels shown = CaptureClient(m_host.GetSafeHwnd());
    BitmapHandle reference(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(169)));
    const Pixels picture = BitmapPixels(reference.get());
    int differing = 0;
    for (int y = 0; y < shown.nHeight; ++y) {
        for (int x = 0; x < shown.nWidth; ++x) {
            differing += shown.At(x, y) != picture.At(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(SkinnedDialog, AClickOnTheBodyPostsACaptionDragOnlyWhenAsked) {
    HWND hWnd = m_host.GetSafeHwnd();
    const LPARAM point = MAKELPARAM(30, 40);
    for (const BOOL drag : {FALSE, TRUE}) {
        m_host.m_bDragAnywhere = drag;
        ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, point);
        MSG msg{};
        const BOOL posted = ::PeekMessageW(&msg, hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
        EXPECT_EQ(posted != FALSE, drag != FALSE);
        if (posted) {
            EXPECT_EQ(msg.wParam, static_cast<WPARAM>(HTCAPTION));
            EXPECT_EQ(msg.lParam, point);
        }
    }
}

TEST_F(SkinnedDialog, StaticsAreTransparentButTrackbarsAndEditsKeepTheirColours) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND label = m_host.Child(L"Static", L"x", 0, 1, {0, 0, 20, 20});
    HWND edit = m_host.Child(L"Edit", L"", 0, 2, {20, 0, 40, 20});
    HWND trackbar = m_host.Child(TRACKBAR_CLASSW, L"", 0, 3, {40, 0, 90, 20});
    ASSERT_NE(trackbar, nullptr);
    const HBRUSH hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    HDC dc = ::GetDC(label);
    const struct {
        BOOL transparent;
        UINT message;
        HWND control;
        bool hollowExpected;
    } cases[] = {
        {TRUE, WM_CTLCOLORSTATIC, label, true},   {TRUE, WM_CTLCOLORSTATIC, trackbar, false},
        {TRUE, WM_CTLCOLOREDIT, edit, false},     {TRUE, WM_CTLCOLORBTN, label, false},
        {FALSE, WM_CTLCOLORSTATIC, label, false},
    };
    for (const auto& c : cases) {
        m_host.m_bTransparentStatics = c.transparent;
        ::SetBkMode(dc, OPAQUE);
        const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(m_host.GetSafeHwnd(), c.message,
                                                                   reinterpret_cast<WPARAM>(dc),
                                                                   reinterpret_cast<LPARAM>(c.control)));
        EXPECT_EQ(brush == hollow, c.hollowExpected) << "message " << c.message << ", control " << c.control;
        EXPECT_EQ(::GetBkMode(dc) == TRANSPARENT, c.hollowExpected) << "message " << c.message;
    }
    ::ReleaseDC(label, dc);
}

} // namespace
