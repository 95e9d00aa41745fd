// Tests of the curve control law: temperature sequences, one tick a second, and what each tick writes.
#include "curve/CurveFollower.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

void Append(std::string& strList, const std::string& strToken) {
    strList += strList.empty() ? strToken : " " + strToken;
}

// "62x3" stands for "62 62 62"; tokens are separated by spaces.
std::string Expand(const std::string& strTokens) {
    std::istringstream in(strTokens);
    std::string strOut, strToken;
    while (in >> strToken) {
        const size_t nTimes = strToken.find('x');
        const int nCount = nTimes == std::string::npos ? 1 : std::stoi(strToken.substr(nTimes + 1));
        for (int i = 0; i < nCount; ++i) {
            Append(strOut, strToken.substr(0, nTimes));
        }
    }
    return strOut;
}

// Ticks: a temperature, "?" for a failed reading, "!" before a temperature for Restart() first.
// Steps: "." nothing, a number written, "P" / "U" yielded for protection / an unreadable sensor.
std::string Follow(CCurveFollower& follower, const std::string& strTicks) {
    std::istringstream in(Expand(strTicks));
    std::string strSteps, strTick;
    for (unsigned long long nNowMs = 0; in >> strTick; nNowMs += 1000) {
        if (strTick[0] == '!') {
            follower.Restart();
            strTick.erase(0, 1);
        }
        const CurveStep step =
            follower.Tick(strTick == "?" ? std::nullopt : std::optional<int>(std::stoi(strTick)), nNowMs);
        const bool bProtection = step.m_reason == CurveYieldReason::Protection;
        Append(strSteps, step.m_kind == CurveStep::Kind::Write  ? std::to_string(step.m_nPercent)
                         : step.m_kind == CurveStep::Kind::None ? "."
                                                                : (bProtection ? "P" : "U"));
    }
    return strSteps;
}

FanCurve Curve(const wchar_t* szPoints, int nHysteresis = 3, int nDelay = 10) {
    return FanCurve{*ParseCurvePoints(szPoints), nHysteresis, nDelay};
}

const wchar_t kOuter[] = L"30:30 50:40 65:60 75:80 85:100";
const wchar_t kMiddle[] = L"40:30 55:45 65:70 75:100";

TEST(CurveFollower, WritesOnlyWhatTheLawAsks) {
    const struct {
        const char* szFault; // what a wrong law would do that the row catches
        FanCurve curve;
        int nMinimum;
        std::optional<int> nProtection;
        const char* szTicks;
        const char* szSteps;
    } rows[] = {
        {"a rise waits", Curve(kOuter), 30, {}, "50 65 75", "40 60 80"},
        {"unchanged output rewritten", Curve(kOuter), 30, {}, "50x3", "40 .x2"},
        {"interpolation truncates", Curve(kOuter), 30, {}, "57 58", "49 51"},
        {"ends extrapolated", Curve(kOuter), 30, {}, "10 120", "30 100"},
        {"falls within the hysteresis", Curve(kOuter), 30, {}, "65 63x20", "60 .x20"},
        {"falls before the delay", Curve(kOuter), 30, {}, "65 62x10 65", "60 .x11"},
        {"never falls after the delay", Curve(kOuter), 30, {}, "65 62x11", "60 .x10 56"},
        {"a warmer tick keeps the wait", Curve(kOuter), 30, {}, "65 62x5 64 62x11", "60 .x16 56"},
        {"a blind tick keeps the wait", Curve(kOuter), 30, {}, "65 62x5 ? 62x11", "60 .x16 56"},
        {"hysteresis from the wrong point",
         Curve(kOuter),
         30,
         {},
         "65 62x11 60x10 59x11",
         "60 .x10 56 .x20 52"},
        {"zero settings still wait", Curve(kOuter, 0, 0), 30, {}, "65 64 65", "60 59 60"},
        {"floor below the minimum", Curve(L"30:10 60:50"), 26, {}, "30 45 50", "26 30 37"},
        {"no protection on the trip", Curve(kMiddle), 30, 70, "65 70 72 69", "70 P .x2"},
        {"protection lets go too early", Curve(kMiddle), 30, 70, "70 68 67 66", "P .x2 73"},
        {"protection with no hysteresis", Curve(kMiddle, 0), 30, 70, "70 69", "P 82"},
        {"protection where none is set", Curve(kMiddle), 30, {}, "70 72", "85 91"},
        {"yields after 4 blind ticks", Curve(kOuter), 30, {}, "50 ?x4 50", "40 .x5"},
        {"never yields when blind", Curve(kOuter), 30, {}, "50 ?x5 ?x2 50", "40 .x4 U .x2 40"},
        {"blind yield hides protection", Curve(kMiddle), 30, 70, "60 ?x5 71 60", "58 .x4 U P 58"},
        {"restart forgets the output", Curve(kOuter), 30, {}, "50 !50", "40 40"},
    };
    for (const auto& row : rows) {
        CCurveFollower follower(row.nMinimum, row.nProtection);
        follower.SetCurve(row.curve);
        EXPECT_EQ(Follow(follower, row.szTicks), Expand(row.szSteps)) << row.szFault;
    }
}

TEST(CurveFollower, NewPointsTakeEffectAtTheNextTickEitherWay) {
    // Fault: a lowered curve saved in the editor would wait for the temperature to fall first.
    CCurveFollower follower(30, std::nullopt);
    follower.SetCurve(Curve(kOuter));
    EXPECT_EQ(Follow(follower, "65"), "60");
    follower.SetCurve(Curve(L"30:30 65:45"));
    EXPECT_EQ(Follow(follower, "65 65"), "45 .");
    follower.SetCurve(Curve(L"30:30 65:45", 5, 60)); // same points: nothing to write
    EXPECT_EQ(Follow(follower, "65"), ".");
    EXPECT_EQ(follower.Output(), 45);
}

} // namespace
