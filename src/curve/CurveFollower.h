// CCurveFollower: the control law of one fan set in Curve mode, one step per readings tick.
#pragma once

#include "curve/FanCurve.h"

#include <optional>

// Why a set goes back to its default control.
enum class CurveYieldReason { None, Protection, Unreadable };

// What a tick asks of the hardware: nothing, a percentage, or the set's default control.
struct CurveStep {
    enum class Kind { None, Write, Yield };
    Kind m_kind = Kind::None;
    int m_nPercent = 0;                                 // for Write
    CurveYieldReason m_reason = CurveYieldReason::None; // for Yield
    bool operator==(const CurveStep&) const = default;
};

// Unreadable ticks in a row after which the set yields.
constexpr int kCurveUnreadableTicks = 5;

class CCurveFollower {
public:
    // nMinimumPercent: the set's slider minimum. nProtectionDegrees: from this temperature on the
    // set yields to its default control (the AMD middle fan); none for the other sets.
    CCurveFollower(int nMinimumPercent, std::optional<int> nProtectionDegrees);

    // The new curve counts from the next tick; the output stays until that tick asks for another.
    void SetCurve(const FanCurve& curve);
    // Forgets the output and every wait: the next tick writes its target (or yields) whatever the
    // hardware had. For Curve mode just applied, or hardware that was reset.
    void Restart();
    // One readings tick: degrees is the followed temperature, none when it could not be read.
    CurveStep Tick(std::optional<int> degrees, unsigned long long nNowMs);
    // The percentage last written while following; none before the first write and while yielded.
    std::optional<int> Output() const { return m_nOutput; }

private:
    CurveStep Write(int nPercent, int nDegrees);
    CurveStep YieldTo(CurveYieldReason reason);

    int m_nMinimumPercent;
    std::optional<int> m_nProtectionDegrees;
    FanCurve m_curve;
    // A new set of points is written at the next tick in either direction.
    bool m_bRetarget = false;
    std::optional<int> m_nOutput;
    int m_nOutputDegrees = 0; // the temperature at which m_nOutput was set
    // Since when the temperature has been low enough for a lower target.
    std::optional<unsigned long long> m_nLowSinceMs;
    int m_nUnreadable = 0;
    CurveYieldReason m_yield = CurveYieldReason::None;
};
