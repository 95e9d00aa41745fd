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
    } cases[] = {
        // Not Intel: the scaling switch does not matter.
        {0, false, 0, 16, 20, 36},
        {96, false, 0, 16, 20, 36},
        {97, false, 0, 13, 16, 29},
        {120, false, 0, 13, 16, 29},
        {121, false, 0, 11, 14, 24},
        {144, false, 0, 11, 14, 24},
        {168, false, 1, 11, 14, 24},
        {120, false, 1, 13, 16, 29},
        // Intel without display scaling.
        {0, true, 0, 16, 18, 36},
        {96, true, 0, 16, 18, 36},
        {120, true, 0, 12, 14, 29},
        {144, true, 0, 11, 12, 24},
        // Intel with display scaling: the 96-DPI sizes at every DPI.
        {120, true, 1, 16, 18, 36},
        {168, true, 1, 16, 18, 36},
    };
    for (const auto& c : cases) {
        const ReadoutPointSizes sizes = ReadoutPointSizesFor(c.dpi, c.intel, c.scaling);
        EXPECT_EQ(sizes.m_nUnit, c.unit)
            << "dpi " << c.dpi << " intel " << c.intel << " scaling " << c.scaling;
        EXPECT_EQ(sizes.m_nTemperature, c.temperature) << "dpi " << c.dpi << " intel " << c.intel;
        EXPECT_EQ(sizes.m_nSpeed, c.speed) << "dpi " << c.dpi << " intel " << c.intel;
    }
}

TEST(ReadoutFonts, EntryFontTenthsByDpiBand) {
    const struct {
        UINT dpi;
        int tenths;
    } cases[] = {{0, 116}, {96, 116}, {97, 100}, {120, 100}, {121, 85}, {144, 85}, {192, 85}};
    for (const auto& c : cases) {
        EXPECT_EQ(EntryFontTenths(c.dpi), c.tenths) << "dpi " << c.dpi;
    }
}

TEST(ReadoutFonts, PointFontHeightTruncatesToWholePixels) {
    const struct {
        int tenths;
        int logPixels;
        int height;
    } cases[] = {
        {116, 96, -15},  {100, 96, -13}, {85, 96, -11},  {117, 96, -15},
        {117, 144, -23}, {85, 120, -14}, {720, 96, -96}, {0, 96, 0},
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

class PointFontTest : public ::testing::Test {
protected:
    void SetUp() override { m_hScreen = ::GetDC(nullptr); }
    void TearDown() override { ::ReleaseDC(nullptr, m_hScreen); }

    static LONG HeightOf(HFONT font) {
        LOGFONTW description{};
        ::GetObjectW(font, sizeof(description), &description);
        return description.lfHeight;
    }

    HDC m_hScreen = nullptr;
};

TEST_F(PointFontTest, TheSameSizeGivesTheSameFontEveryTime) {
    CPointFont font(L"MS Shell Dlg");
    const HFONT first = font.Get(116, m_hScreen);
    ASSERT_NE(first, nullptr);
    for (int query = 0; query < 100; ++query) {
        ASSERT_EQ(font.Get(116, m_hScreen), first);
    }
    EXPECT_EQ(HeightOf(first), PointFontHeight(116, ::GetDeviceCaps(m_hScreen, LOGPIXELSY)));
}

TEST_F(PointFontTest, ANewSizeReplacesTheOldFontAndReleasesIt) {
    CPointFont font(L"MS Shell Dlg");
    const HFONT large = font.Get(116, m_hScreen);
    const HFONT small = font.Get(85, m_hScreen);
    ASSERT_NE(small, nullptr);
    EXPECT_NE(small, large);
    EXPECT_EQ(HeightOf(small), PointFontHeight(85, ::GetDeviceCaps(m_hScreen, LOGPIXELSY)));
    EXPECT_EQ(::GetObjectType(large), 0u) << "the replaced font is still alive";
}

TEST_F(PointFontTest, TheOwnerReleasesItsFont) {
    HFONT made = nullptr;
    {
        CPointFont font(L"MS Shell Dlg");
        made = font.Get(117, m_hScreen);
        ASSERT_EQ(::GetObjectType(made), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(::GetObjectType(made), 0u);
}

} // namespace
