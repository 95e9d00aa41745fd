// Benchmark: the curve law over one hour of recorded-style GPU temperatures (idle, a long game,
// load steps, short bursts, with +-2 °C sensor noise from a fixed seed). Printed for the default
// hysteresis and delay and for none: fan writes per hour, the largest lag behind a step up in
// temperature, and how far above the curve the fans run on average.
#include "curve/CurveFollower.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSeconds = 3600;
constexpr int kMinimum = 30;

// One segment of the load pattern: from its start second the temperature heads for its level, with
// the time constant given (0: it jumps there).
struct Segment {
    int m_nStart;
    double m_level;
    double m_tau;
};

// xorshift32: the same sequence on every machine.
unsigned NextNoise(unsigned& nState) {
    nState ^= nState << 13;
    nState ^= nState >> 17;
    nState ^= nState << 5;
    return nState;
}

struct Trace {
    std::vector<int> m_readings;
    std::vector<int> m_steps; // seconds at which the temperature steps up
};

Trace RecordedStyleHour() {
    const Segment segments[] = {
        {0, 38, 30},    {600, 71, 45},  {1800, 38, 40}, // idle, a long game, idle again
        {2100, 45, 0},  {2200, 55, 0},  {2300, 65, 0},  {2400, 75, 0},  {2500, 60, 0},  {2600, 50, 0},
        {2700, 72, 20}, {2760, 41, 20}, {2820, 72, 20}, {2880, 41, 20}, {2940, 72, 20}, {3000, 41, 20},
        {3060, 72, 20}, {3120, 41, 20}, {3180, 72, 20}, {3240, 41, 20}, {3300, 45, 30},
    };
    Trace trace;
    unsigned nState = 20240611;
    double temperature = 38;
    size_t nSegment = 0;
    for (int t = 0; t < kSeconds; ++t) {
        while (nSegment + 1 < std::size(segments) && segments[nSegment + 1].m_nStart <= t) {
            ++nSegment;
            if (segments[nSegment].m_tau == 0 && segments[nSegment].m_level > temperature) {
                trace.m_steps.push_back(t);
            }
        }
        const Segment& segment = segments[nSegment];
        temperature = segment.m_tau == 0 ? segment.m_level
                                         : temperature + (segment.m_level - temperature) / segment.m_tau;
        const int nNoise = static_cast<int>(NextNoise(nState) % 5) - 2;
        trace.m_readings.push_back(static_cast<int>(std::lround(temperature)) + nNoise);
    }
    return trace;
}

// Prints one law's figures and gives its writes.
int Run(const Trace& trace, const FanCurve& curve, const char* szName) {
    CCurveFollower follower(kMinimum, std::nullopt);
    follower.SetCurve(curve);
    std::vector<int> outputs;
    int nWrites = 0;
    double aboveCurve = 0, output = 0;
    for (int t = 0; t < kSeconds; ++t) {
        const CurveStep step = follower.Tick(trace.m_readings[t], static_cast<unsigned long long>(t) * 1000);
        nWrites += step.m_kind == CurveStep::Kind::Write ? 1 : 0;
        outputs.push_back(follower.Output().value_or(0));
        output += outputs.back();
        aboveCurve += outputs.back() - CurveTarget(curve.m_points, trace.m_readings[t], kMinimum);
    }
    // Lag: from a step up until the output reaches the curve's target for the stepped-up reading.
    int nLargestLag = 0;
    for (const int nStep : trace.m_steps) {
        const int nTarget = CurveTarget(curve.m_points, trace.m_readings[nStep], kMinimum);
        int t = nStep;
        while (t < kSeconds && outputs[t] < nTarget) {
            ++t;
        }
        nLargestLag = std::max(nLargestLag, t - nStep);
    }
    std::printf("%-28s %12d %16d s %14.1f %% %17.2f %%\n", szName, nWrites, nLargestLag, output / kSeconds,
                aboveCurve / kSeconds);
    return nWrites;
}

} // namespace

int main() {
    const Trace trace = RecordedStyleHour();
    const FanCurve withSettings = DefaultOuterCurve();
    FanCurve withNone = withSettings;
    withNone.m_nHysteresis = 0;
    withNone.m_nDelaySeconds = 0;
    std::printf("Curve law, outer fans' default curve (minimum %d %%), one hour of GPU readings at 1 s with "
                "+-2 C noise; %zu steps up\n\n",
                kMinimum, trace.m_steps.size());
    std::printf("%-28s %12s %18s %16s %19s\n", "law", "writes/hour", "largest lag up", "mean output",
                "mean above curve");
    const int nWith = Run(trace, withSettings, "hysteresis 3 C, delay 10 s");
    const int nWithout = Run(trace, withNone, "hysteresis 0 C, delay 0 s");
    std::printf("\nwrites: %.1f times fewer with the default hysteresis and delay\n",
                static_cast<double>(nWithout) / std::max(1, nWith));
    return 0;
}
