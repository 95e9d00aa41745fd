// The display-DPI rule end to end: the refusal above 144 DPI, the Intel display-scaling exception,
// and the readout fonts keeping their size on the skin in every DPI band.
#include "test_window_support.h"

#include <intrin.h>

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace e2e;
using namespace e2e::window;

namespace {
const wchar_t kMetricsKey[] = L"Control Panel\\Desktop\\WindowMetrics";
const wchar_t kDwmKey[] = L"Software\\Microsoft\\Windows\\DWM";
const wchar_t kRefusal[] =
    L"The DPI (Display Pixel Inch) size too large,\r\nits not support this application.";

bool IsIntelHere() {
    char brand[49] = {};
    for (int leaf = 0; leaf < 3; ++leaf) {
        int registers[4] = {};
        __cpuid(registers, static_cast<int>(0x80000002u + leaf));
        std::memcpy(brand + 16 * leaf, registers, 16);
    }
    return std::strstr(brand, "Intel") != nullptr;
}

// The window is up, refuses with its message while every input is disabled, and ends once the
// message is closed.
void ExpectRefusal(Board& board) {
    const HWND box = board.App().WaitMessageBox();
    ASSERT_NE(box, nullptr) << "no refusal";
    EXPECT_EQ(WindowText(box), L"Ventiq");
    EXPECT_EQ(MessageBoxText(box), kRefusal);
    ASSERT_NE(board.Window(), nullptr) << "the window is shown before the refusal";
    for (int id : {1012, 1013, 1014, 1015, 1010, 1011, 1017, 1018}) {
        EXPECT_FALSE(board.Enabled(id)) << id;
    }
    PressOk(box);
    DWORD exitCode = 1;
    ASSERT_TRUE(board.App().WaitExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(DpiRule, Above144DpiTheWindowRefusesAndEnds) {
    const DWORD dpi = 168;
    ScopedUserDword applied(kMetricsKey, L"AppliedDPI", &dpi);
    Board board(Vendor::Amd);
    ExpectRefusal(board);
}

TEST(DpiRule, DisplayScalingOnWindows7LetsOnlyAnIntelSystemRun) {
    const DWORD dpi = 168;
    const DWORD scaling = 1;
    ScopedUserDword applied(kMetricsKey, L"AppliedDPI", &dpi);
    ScopedUserDword dwm(kDwmKey, L"UseDpiScaling", &scaling);
    SetReportedWindowsVersion(L"win7");
    {
        Board board(Vendor::Amd);
        if (IsIntelHere()) {
            EXPECT_TRUE(board.WaitReady());
            EXPECT_EQ(board.App().WaitMessageBox(1000), nullptr);
        } else {
            ExpectRefusal(board);
        }
    }
    SetReportedWindowsVersion(L"");
}

TEST(DpiRule, At144DpiTheWindowRuns) {
    const DWORD dpi = 144;
    ScopedUserDword applied(kMetricsKey, L"AppliedDPI", &dpi);
    Board board(Vendor::Amd);
    ASSERT_TRUE(board.WaitReady());
    EXPECT_EQ(board.App().WaitMessageBox(1000), nullptr);
    EXPECT_TRUE(board.Enabled(1017));
}

// Ink heights of the readouts: GPU unit, PWM module temperature, left fan speed.
struct ReadoutHeights {
    int unit;
    int temperature;
    int speed;
};

ReadoutHeights MeasureReadouts(const DWORD* dpi) {
    ScopedUserDword applied(kMetricsKey, L"AppliedDPI", dpi);
    Board board(Vendor::Amd);
    EXPECT_TRUE(board.WaitReady());
    // A second tick, so every readout has been painted in its font.
    Pump(1500);
    const Picture window = CaptureSettled(board.Window());
    const auto height = [&](int id, int left, int right) {
        return InkHeight(ControlPart(window, board.Window(), board.Item(id)), IsAmberInk, left, right);
    };
    // The readouts overlap: the GPU temperature's box reaches into the PWM row and both units cover
    // the temperatures' right ends. So the PWM temperature is measured left of its unit, and the GPU
    // unit right of the temperature's digits.
    return {height(1016, 8, 25), height(1006, 0, 25), height(1003, 0, 120)};
}

// The program declares no DPI awareness, so Windows scales its window wherever AppliedDPI is above
// 96 and tells it 96, as Wine does here: the readouts must scale with the skin, keeping the pixel
// heights each band aims at, not shrink by the band's points at 96.
TEST(DpiFonts, TheReadoutsKeepTheirPixelHeightsOnTheSkinInEveryBand) {
    // Pixel heights of the unit, temperature and speed readouts by band, for this machine's processor
    // (points converted at the band's DPI).
    const bool intel = IsIntelHere();
    const ReadoutHeights largestPixels{21, intel ? 24 : 27, 48};
    const struct {
        DWORD dpi;
        ReadoutHeights pixels;
    } bands[] = {
        {120, {intel ? 20 : 22, intel ? 23 : 27, 48}},
        {144, {22, intel ? 24 : 28, 48}},
    };

    const ReadoutHeights largest = MeasureReadouts(nullptr);
    ASSERT_GT(largest.speed, 20) << "no readout text found";
    ASSERT_GT(largest.temperature, 0);
    ASSERT_GT(largest.unit, 0);
    std::printf("ink heights at 96 DPI: unit %d, temperature %d, speed %d\n", largest.unit,
                largest.temperature, largest.speed);
    for (const auto& band : bands) {
        SCOPED_TRACE(band.dpi);
        const ReadoutHeights measured = MeasureReadouts(&band.dpi);
        std::printf("ink heights at %lu DPI: unit %d, temperature %d, speed %d\n", band.dpi, measured.unit,
                    measured.temperature, measured.speed);
        // Ink height follows the font height; a pixel or two of rounding either way.
        const auto expected = [](int largestInk, int pixels, int largestFontPixels) {
            return static_cast<int>(
                std::lround(largestInk * static_cast<double>(pixels) / largestFontPixels));
        };
        EXPECT_NEAR(measured.speed, expected(largest.speed, band.pixels.speed, largestPixels.speed), 1);
        EXPECT_NEAR(measured.temperature,
                    expected(largest.temperature, band.pixels.temperature, largestPixels.temperature), 2);
        EXPECT_NEAR(measured.unit, expected(largest.unit, band.pixels.unit, largestPixels.unit), 2);
    }
}

} // namespace
