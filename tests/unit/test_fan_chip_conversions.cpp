// Percent and duty conversions of the fan controller chip.
#include "hw/DutyConversion.h"

#include <gtest/gtest.h>

TEST(DutyConversion, PercentToDutyTruncatesInSinglePrecision) {
    const struct {
        int percent;
        int duty;
    } cases[] = {
        {0, 0},    {20, 51},  {26, 66},   {30, 76},
        {50, 127}, {70, 178}, {100, 255}, {150, 382}, // the caller sends the low 8 bits: 126
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PercentToDuty(c.percent), c.duty) << c.percent << " %";
    }
}

TEST(DutyConversion, EveryPercentGivesTheExactFloor) {
    for (int percent = 0; percent <= 100; ++percent) {
        EXPECT_EQ(PercentToDuty(percent), percent * 255 / 100) << percent << " %";
    }
}

TEST(DutyConversion, DutyReadsBackAsRoundedTextAndTruncatedPosition) {
    const struct {
        int duty;
        const wchar_t* text;
        int position;
    } cases[] = {
        {0, L"0", 0},     {51, L"20", 20},  {66, L"26", 25},    {76, L"30", 29},
        {127, L"50", 49}, {178, L"70", 69}, {255, L"100", 100},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DutyPercentText(c.duty), c.text) << "duty " << c.duty;
        EXPECT_EQ(DutySliderPosition(c.duty), c.position) << "duty " << c.duty;
    }
    EXPECT_FLOAT_EQ(DutyToPercent(76), 29.803922f);
}

TEST(DutyConversion, AWrittenPercentReadsBackWithinOnePoint) {
    for (int percent = 0; percent <= 100; ++percent) {
        const int position = DutySliderPosition(PercentToDuty(percent));
        EXPECT_LE(position, percent);
        EXPECT_GE(position, percent - 1);
    }
}
