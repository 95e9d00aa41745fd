// The tray tip: the readings text for each vendor with the chip present or absent, the unguarded note,
// and its length limit.
#include "fan/TrayTip.h"

#include <gtest/gtest.h>

namespace {

constexpr size_t kCapacity = 127;
constexpr std::optional<int> kNone = std::nullopt;

TEST(TrayTipText, ShowsOnlyWhatWasRead) {
    const struct {
        const char* board;
        CardReadings readings;
        const wchar_t* tip;
        bool unguarded = false;
    } rows[] = {
        {"AMD with chip", {56, 58, 39, 34}, L"Ventiq - GPU 56 \u00B0C, PWM 58 \u00B0C, fans 39 % / 34 %"},
        {"AMD without chip", {56, kNone, 39, kNone}, L"Ventiq - GPU 56 \u00B0C, fans 39 %"},
        {"AMD temperature failed", {kNone, 58, 0, 34}, L"Ventiq - PWM 58 \u00B0C, fans 0 % / 34 %"},
        {"NVIDIA with chip",
         {52, 71, 47, 100},
         L"Ventiq - GPU 52 \u00B0C, PWM 71 \u00B0C, fans 47 % / 100 %"},
        {"NVIDIA without chip", {52, kNone, 47, kNone}, L"Ventiq - GPU 52 \u00B0C, fans 47 %"},
        {"NVIDIA queries failed", {kNone, 71, kNone, 30}, L"Ventiq - PWM 71 \u00B0C, middle fan 30 %"},
        {"nothing read", {}, L"Ventiq"},
        {"below zero", {-1, 0, 0, 0}, L"Ventiq - GPU -1 \u00B0C, PWM 0 \u00B0C, fans 0 % / 0 %"},
        {"taken fans without a guardian", {56, kNone, 39, kNone}, L"Ventiq (unguarded) - GPU 56 \u00B0C, fans 39 %",
         true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TrayTipText(row.readings, row.unguarded, kCapacity), row.tip) << row.board;
    }
}

TEST(TrayTipText, PartsThatDoNotFitAreLeftOutWhole) {
    const CardReadings readings{56, 58, 39, 34};
    EXPECT_EQ(TrayTipText(readings, false, 28), L"Ventiq - GPU 56 \u00B0C") << "PWM would end at 29";
    EXPECT_EQ(TrayTipText(readings, false, 29), L"Ventiq - GPU 56 \u00B0C, PWM 58 \u00B0C");
    EXPECT_EQ(TrayTipText(readings, false, 5), L"Ventiq");
}

} // namespace
