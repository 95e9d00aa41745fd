// Tests of the curve editor's font sizes by DPI band.
#include "ui/CurveEditorFonts.h"
#include "ui/PointFont.h"
#include "ui/ReadoutFonts.h"

#include <gtest/gtest.h>

TEST(CurveEditorFonts, EveryBandKeepsThePixelHeightsOfTheLayout) {
    // Fault: a band whose sizes make text taller or shorter than the boxes laid out in pixels.
    const struct { UINT nDpi; } rows[] = {{0}, {96}, {110}, {120}, {130}, {144}, {192}};
    for (const auto& row : rows) {
        const CurveEditorFontSizes sizes = CurveEditorFontSizesFor(row.nDpi);
        const int nBand = BandDpi(row.nDpi);
        EXPECT_EQ(PointFontHeight(sizes.m_nTitle, nBand), -19) << row.nDpi;
        EXPECT_EQ(PointFontHeight(sizes.m_nCaption, nBand), -11) << row.nDpi;
        EXPECT_EQ(PointFontHeight(sizes.m_nScale, nBand), -10) << row.nDpi;
        EXPECT_EQ(PointFontHeight(sizes.m_nValue, nBand), -15) << row.nDpi;
    }
}
