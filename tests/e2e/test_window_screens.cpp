// Pictures of the main window for a person to look at: each vendor's skin plain and with each fan set
// highlighted, saved as BUILD\screenshots\window-<vendor>-<state>.bmp.
#include "test_window_support.h"

using namespace e2e;
using namespace e2e::window;

namespace {
constexpr int kAuto1 = 1017;
constexpr int kAuto2 = 1018;

int DifferentPixels(const Picture& a, const Picture& b) {
    int count = 0;
    for (size_t i = 0; i < a.m_pixels.size() && i < b.m_pixels.size(); ++i) {
        count += a.m_pixels[i] != b.m_pixels[i] ? 1 : 0;
    }
    return count;
}

class Screenshots : public ::testing::TestWithParam<Vendor> {};

TEST_P(Screenshots, PlainAndWithEachFanSetHighlighted) {
    Board board(GetParam());
    ASSERT_TRUE(board.WaitReady());
    const std::wstring prefix =
        L"window-" + std::wstring(GetParam() == Vendor::Amd ? L"amd" : L"nvidia") + L"-";
    Pump(1200);
    const Picture plain = CaptureSettled(board.Window());
    SavePicture(plain, prefix + L"plain");
    EXPECT_GT(InkPixels(plain, IsAmberInk), 500) << "the readouts show no digits";

    // Switching a fan set from automatic to manual highlights it; switching back clears it. The new
    // skin is painted at once, under every control too.
    Command(board.Window(), kAuto1);
    ASSERT_TRUE(WaitUntil([&] { return board.Enabled(1010); }));
    Pump(1500);
    const Picture outer = CaptureSettled(board.Window());
    SavePicture(outer, prefix + L"outer-fans");
    EXPECT_GT(DifferentPixels(plain, outer), 1000) << "no highlight of the outer fans";

    Command(board.Window(), kAuto1);
    Command(board.Window(), kAuto2);
    ASSERT_TRUE(WaitUntil([&] { return board.Enabled(1011); }));
    Pump(1500);
    const Picture middle = CaptureSettled(board.Window());
    SavePicture(middle, prefix + L"middle-fan");
    EXPECT_GT(DifferentPixels(plain, middle), 1000) << "no highlight of the middle fan";
    EXPECT_GT(DifferentPixels(outer, middle), 1000);
}

INSTANTIATE_TEST_SUITE_P(Vendors, Screenshots, ::testing::Values(Vendor::Amd, Vendor::Nvidia),
                         [](const auto& info) { return std::string(VendorName(info.param)); });

} // namespace
