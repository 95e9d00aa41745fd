// Fan values: the speed text, the typed-percentage range APPLY holds entries to, the device tool's
// command, the display refresh and the backgrounds of the editing states.
#include "driver/DeviceRestart.h"
#include "driver/DisplayRefresh.h"
#include "fan/FanControls.h"
#include "fan/FanValues.h"
#include "hw/DutyConversion.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

TEST(FanValues, PercentTextAppendsThePercentSign) {
    EXPECT_EQ(PercentText(45), L"45%");
    EXPECT_EQ(PercentText(0), L"0%");
    EXPECT_EQ(PercentText(100), L"100%");
}

TEST(FanValues, EntryTextsAreHeldToTwentyThroughHundred) {
    const struct {
        const wchar_t* text;
        int percent;
    } cases[] = {
        {L"", 20},     {L"0", 20},   {L"5", 20},   {L"7", 20},    {L"20", 20},
        {L"21", 21},   {L"45", 45},  {L"099", 99}, {L"100", 100}, {L"150", 100},
        {L"999", 100}, {L"abc", 20}, {L"45x", 45}, {L" 60", 60},  {L"-5", 20},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EntryPercent(c.text), c.percent) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(FanValues, ClampedEntriesNeverWrapTheDuty) {
    // Unheld, 150 % would be duty 382, of which the chip keeps 126; held to 100 it is full speed.
    EXPECT_EQ(PercentToDuty(EntryPercent(L"150")), 255);
    EXPECT_EQ(PercentToDuty(EntryPercent(L"5")), 51);
}

TEST(DeviceTool, PathKeepsTheDirectoryAsStored) {
    const struct {
        const wchar_t* dir;
        bool windows64;
        const wchar_t* path;
    } cases[] = {
        {L"C:\\Tools\\X", true, L"C:\\Tools\\X\\devcon64.exe"},
        {L"C:\\Tools\\X", false, L"C:\\Tools\\X\\devcon86.exe"},
        {L"C:\\Tools\\X\\", true, L"C:\\Tools\\X\\\\devcon64.exe"},
        {L"", true, L"\\devcon64.exe"},
        {L"", false, L"\\devcon86.exe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeviceToolPath(c.dir, c.windows64), c.path);
    }
}

TEST(DeviceTool, ParametersNameTheDevicePattern) {
    EXPECT_EQ(DeviceToolParameters(L"6719"), L"restart *DEV_6719*");
    EXPECT_EQ(DeviceToolParameters(L""), L"restart *DEV_*");
}

TEST(DeviceTool, ThisBuildRunsOnSixtyFourBitWindows) {
    // The tests run under Wine 64-bit: a 64-bit build must pick the 64-bit tool, which the WOW64 test
    // alone would not.
    EXPECT_TRUE(IsWindows64());
}

TEST(DisplayRefresh, SetsTheSameModeAgainWithOrWithoutTheDesktopObject) {
    DEVMODEW before{};
    before.dmSize = sizeof(before);
    ASSERT_TRUE(::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &before));
    // Without COM on the thread the desktop object cannot be made: the mode is still set again.
    RefreshDisplayMode();
    const HRESULT com = ::CoInitialize(nullptr);
    RefreshDisplayMode();
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    DEVMODEW after{};
    after.dmSize = sizeof(after);
    ASSERT_TRUE(::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &after));
    EXPECT_EQ(after.dmPelsWidth, before.dmPelsWidth);
    EXPECT_EQ(after.dmPelsHeight, before.dmPelsHeight);
    EXPECT_EQ(after.dmBitsPerPel, before.dmBitsPerPel);
}

TEST(FanControls, BackgroundOfEachVendorAndHighlight) {
    const struct {
        bool nvidia;
        FanHighlight highlight;
        unsigned image;
    } cases[] = {
        {false, FanHighlight::None, IDB_AMD_CARD},
        {false, FanHighlight::OuterFans, IDB_AMD_CARD_FAN12},
        {false, FanHighlight::MiddleFan, IDB_AMD_CARD_FAN3},
        {true, FanHighlight::None, IDB_NV_CARD},
        {true, FanHighlight::OuterFans, IDB_NV_CARD_FAN12},
        {true, FanHighlight::MiddleFan, IDB_NV_CARD_FAN3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BackgroundImage(c.nvidia, c.highlight), c.image);
    }
    EXPECT_EQ(IDB_AMD_CARD, 169);
    EXPECT_EQ(IDB_AMD_CARD_FAN12, 171);
    EXPECT_EQ(IDB_NV_CARD_FAN3, 136);
}
