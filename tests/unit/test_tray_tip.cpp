// The tray tip: the readings text for each vendor with the chip present or absent, its length limit,
// and the icon record that takes a new tip only when it changed.
#include "fan/TrayTip.h"
#include "ui/TrayIcon.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

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
    const CardReadings widest{INT_MIN, INT_MIN, INT_MIN, INT_MIN};
    EXPECT_LE(TrayTipText(widest, kCapacity).size(), kCapacity);
}

class CLoggedTray : public CMyAppTrayIcon {
public:
    std::vector<std::wstring> m_sent;

protected:
    BOOL NotifyShell(DWORD message, NOTIFYICONDATAW& record) override {
        m_sent.push_back(std::to_wstring(message) + L":" + record.szTip);
        return TRUE;
    }
};

TEST(TrayTip, TheShellHearsOfATipOnlyWhenItChanges) {
    CLoggedTray tray;
    EXPECT_FALSE(tray.SetTip(L"Ventiq - GPU 50 \u00B0C")) << "no icon yet";
    ASSERT_TRUE(tray.AddIcon(::LoadIconW(nullptr, IDI_APPLICATION)));
    EXPECT_TRUE(tray.SetTip(L"Ventiq - GPU 50 \u00B0C")) << "a hidden icon only keeps it";
    EXPECT_TRUE(tray.m_sent.empty());
    tray.ShowIcon();
    EXPECT_FALSE(tray.SetTip(L"Ventiq - GPU 50 \u00B0C"));
    EXPECT_TRUE(tray.SetTip(L"Ventiq - GPU 51 \u00B0C"));
    EXPECT_TRUE(tray.SetTip(std::wstring(300, L'x'))) << "cut to the record";
    EXPECT_FALSE(tray.SetTip(std::wstring(200, L'x'))) << "the same once cut";
    const std::vector<std::wstring> sent = {L"0:Ventiq - GPU 50 \u00B0C", L"1:Ventiq - GPU 51 \u00B0C",
                                            L"1:" + std::wstring(127, L'x')};
    EXPECT_EQ(tray.m_sent, sent);
}

} // namespace
