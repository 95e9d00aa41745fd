// The tray tip: the readings text for each vendor with the chip present or absent, and its length limit.
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
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TrayTipText(row.readings, kCapacity), row.tip) << row.board;
    }
}

TEST(TrayTipText, PartsThatDoNotFitAreLeftOutWhole) {
    const CardReadings readings{56, 58, 39, 34};
    EXPECT_EQ(TrayTipText(readings, 28), L"Ventiq - GPU 56 \u00B0C") << "PWM would end at 29";
    EXPECT_EQ(TrayTipText(readings, 29), L"Ventiq - GPU 56 \u00B0C, PWM 58 \u00B0C");
    EXPECT_EQ(TrayTipText(readings, 5), L"Ventiq");
}

} // namespace
