// Tests of the readout font tables, the DPI refusal rule and the window-owned point fonts.
#include "ui/PointFont.h"
#include "ui/ReadoutFonts.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiRefusalRule, RefusesAbove144UnlessAnIntelSystemScales) {
    const struct {
        UINT dpi;
        bool intel;
        DWORD scaling;
        bool refused;
    } cases[] = {
        {0, false, 0, false},  {96, false, 0, false}, {144, false, 0, false}, {145, false, 0, true},
        {168, false, 0, true}, {168, false, 1, true}, {168, true, 0, true},   {168, true, 1, false},
        {240, true, 2, false}, {144, true, 0, false}, {145, true, 0, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDpiRefused(c.dpi, c.intel, c.scaling), c.refused)
            << "dpi " << c.dpi << " intel " << c.intel << " scaling " << c.scaling;
    }
}

TEST(ReadoutFonts, PointSizesByProcessorAndDpiBand) {
    const struct {
        UINT dpi;
        bool intel;
        DWORD scaling;
        int unit;
        int temperature;
        int speed;
        int bandDpi;
    } cases[] = {
        // Not Intel: the scaling switch does not matter.
        {0, false, 0, 16, 20, 36, 96},
        {96, false, 0, 16, 20, 36, 96},
        {97, false, 0, 13, 16, 29, 120},
        {120, false, 0, 13, 16, 29, 120},
        {121, false, 0, 11, 14, 24, 144},
        {144, false, 0, 11, 14, 24, 144},
        {168, false, 1, 11, 14, 24, 144},
        {120, false, 1, 13, 16, 29, 120},
        // Intel without display scaling.
        {0, true, 0, 16, 18, 36, 96},
        {96, true, 0, 16, 18, 36, 96},
        {120, true, 0, 12, 14, 29, 120},
        {144, true, 0, 11, 12, 24, 144},
        // Intel with display scaling: the 96-DPI sizes at every DPI.
        {120, true, 1, 16, 18, 36, 96},
        {168, true, 1, 16, 18, 36, 96},
    };
    for (const auto& c : cases) {
        const ReadoutPointSizes sizes = ReadoutPointSizesFor(c.dpi, c.intel, c.scaling);
        EXPECT_EQ(sizes.m_nUnit, c.unit)
            << "dpi " << c.dpi << " intel " << c.intel << " scaling " << c.scaling;
        EXPECT_EQ(sizes.m_nTemperature, c.temperature) << "dpi " << c.dpi << " intel " << c.intel;
        EXPECT_EQ(sizes.m_nSpeed, c.speed) << "dpi " << c.dpi << " intel " << c.intel;
        EXPECT_EQ(sizes.m_nDpi, c.bandDpi) << "dpi " << c.dpi << " intel " << c.intel;
    }
}

// What the bands aim at: about the same pixel heights on the skin in every band.
TEST(ReadoutFonts, EveryBandGivesTheSkinItsPixelHeights) {
    const struct {
        UINT dpi;
        bool intel;
        DWORD scaling;
        int unit;
        int temperature;
        int speed;
    } cases[] = {
        {96, false, 0, 21, 27, 48}, {120, false, 0, 22, 27, 48}, {144, false, 0, 22, 28, 48},
        {96, true, 0, 21, 24, 48},  {120, true, 0, 20, 23, 48},  {144, true, 0, 22, 24, 48},
        {168, true, 1, 21, 24, 48},
    };
    for (const auto& c : cases) {
        const ReadoutPointSizes sizes = ReadoutPointSizesFor(c.dpi, c.intel, c.scaling);
        const auto pixels = [&](int points) { return -PointFontHeight(points * 10, sizes.m_nDpi); };
        EXPECT_EQ(pixels(sizes.m_nUnit), c.unit) << "dpi " << c.dpi << " intel " << c.intel;
        EXPECT_EQ(pixels(sizes.m_nTemperature), c.temperature) << "dpi " << c.dpi << " intel " << c.intel;
        EXPECT_EQ(pixels(sizes.m_nSpeed), c.speed) << "dpi " << c.dpi << " intel " << c.intel;
    }
}

TEST(ReadoutFonts, EntryFontTenthsByDpiBand) {
    const struct {
        UINT dpi;
        int tenths;
        int bandDpi;
    } cases[] = {{0, 116, 96},   {96, 116, 96},  {97, 100, 120}, {120, 100, 120},
                 {121, 85, 144}, {144, 85, 144}, {192, 85, 144}};
    for (const auto& c : cases) {
        EXPECT_EQ(EntryFontTenths(c.dpi), c.tenths) << "dpi " << c.dpi;
        EXPECT_EQ(BandDpi(c.dpi), c.bandDpi) << "dpi " << c.dpi;
    }
}

TEST(ReadoutFonts, PointFontHeightRoundsAsCreatePointFont) {
    const struct {
        int tenths;
        int logPixels;
        int height;
    } cases[] = {
        {116, 96, -15}, {100, 96, -13},  {85, 96, -11},  {117, 96, -16}, {117, 144, -23}, {85, 120, -14},
        {85, 144, -17}, {290, 120, -48}, {720, 96, -96}, {5, 96, -1},    {0, 96, 0},      {-116, 96, -15},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PointFontHeight(c.tenths, c.logPixels), c.height) << c.tenths << " at " << c.logPixels;
    }
}

TEST(ReadoutFonts, IntelIsFoundByCaseSensitiveName) {
    const struct {
        const wchar_t* brand;
        bool intel;
    } cases[] = {
        {L"Intel(R) Core(TM) i7-4790 CPU @ 3.60GHz", true},
        {L"      Intel(R) Xeon(R) CPU", true},
        {L"AMD EPYC 7763 64-Core Processor", false},
        {L"intel core", false},
        {L"INTEL", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsIntelProcessor(c.brand), c.intel) << testing::PrintToString(std::wstring(c.brand));
    }
}

LONG HeightOf(HFONT font) {
    LOGFONTW description{};
    ::GetObjectW(font, sizeof(description), &description);
    return description.lfHeight;
}

TEST(PointFont, TheSameSizeGivesTheSameFontEveryTime) {
    CPointFont font(L"MS Shell Dlg");
    const HFONT first = font.Get(116, 96);
    ASSERT_NE(first, nullptr);
    for (int query = 0; query < 100; ++query) {
        ASSERT_EQ(font.Get(116, 96), first);
    }
    EXPECT_EQ(HeightOf(first), PointFontHeight(116, 96));
}

TEST(PointFont, ANewSizeOrDpiReplacesTheOldFontAndReleasesIt) {
    CPointFont font(L"MS Shell Dlg");
    const HFONT large = font.Get(116, 96);
    const HFONT small = font.Get(85, 96);
    ASSERT_NE(small, nullptr);
    EXPECT_NE(small, large);
    EXPECT_EQ(HeightOf(small), PointFontHeight(85, 96));
    EXPECT_EQ(::GetObjectType(large), 0u) << "the replaced font is still alive";
    const HFONT banded = font.Get(85, 144);
    EXPECT_EQ(HeightOf(banded), -17);
    EXPECT_EQ(::GetObjectType(small), 0u);
}

TEST(PointFont, TheOwnerReleasesItsFont) {
    HFONT made = nullptr;
    {
        CPointFont font(L"MS Shell Dlg");
        made = font.Get(117, 96);
        ASSERT_EQ(::GetObjectType(made), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(::GetObjectType(made), 0u);
}

} // namespace
