// CCurveFollower: rises at once, falls only after hysteresis and delay, yields when unsafe or blind.
#include "curve/CurveFollower.h"

CCurveFollower::CCurveFollower(int nMinimumPercent, std::optional<int> nProtectionDegrees)
    : m_nMinimumPercent(nMinimumPercent), m_nProtectionDegrees(nProtectionDegrees) {}

void CCurveFollower::SetCurve(const FanCurve& curve) {
    m_bRetarget = m_bRetarget || curve.m_points != m_curve.m_points;
    m_curve = curve;
}

void CCurveFollower::Restart() {
    m_bRetarget = false;
    m_nOutput.reset();
    m_nLowSinceMs.reset();
    m_nUnreadable = 0;
    m_yield = CurveYieldReason::None;
}

CurveStep CCurveFollower::Write(int nPercent, int nDegrees) {
    const bool bChanged = m_nOutput != nPercent;
    m_nOutput = nPercent;
    m_nOutputDegrees = nDegrees;
    m_nLowSinceMs.reset();
    m_bRetarget = false;
    return bChanged ? CurveStep{CurveStep::Kind::Write, nPercent} : CurveStep{};
}

CurveStep CCurveFollower::YieldTo(CurveYieldReason reason) {
    m_yield = reason;
    m_nOutput.reset();
    m_nLowSinceMs.reset();
    return CurveStep{CurveStep::Kind::Yield, 0, reason};
}

CurveStep CCurveFollower::Tick(std::optional<int> degrees, unsigned long long nNowMs) {
    if (!degrees) {
        // A blind tick proves nothing about a fall, so any wait starts again.
        m_nLowSinceMs.reset();
        if (++m_nUnreadable >= kCurveUnreadableTicks && m_yield == CurveYieldReason::None) {
            return YieldTo(CurveYieldReason::Unreadable);
        }
        return {};
    }
    m_nUnreadable = 0;
    const int nDegrees = *degrees;

    if (m_nProtectionDegrees) {
        if (nDegrees >= *m_nProtectionDegrees) {
            return m_yield == CurveYieldReason::Protection ? CurveStep{}
                                                           : YieldTo(CurveYieldReason::Protection);
        }
        // Protection lets go only below the limit minus the hysteresis, so it does not flap.
        if (m_yield == CurveYieldReason::Protection &&
            nDegrees >= *m_nProtectionDegrees - m_curve.m_nHysteresis) {
            return {};
        }
    }

    const int nTarget = CurveTarget(m_curve.m_points, nDegrees, m_nMinimumPercent);
    if (m_yield != CurveYieldReason::None || !m_nOutput) {
        // Back from a yield (or a restart) the hardware has the default control: write whatever.
        m_yield = CurveYieldReason::None;
        m_nOutput.reset();
        return Write(nTarget, nDegrees);
    }
    if (nTarget > *m_nOutput || m_bRetarget) {
        return Write(nTarget, nDegrees);
    }
    if (nTarget == *m_nOutput || nDegrees > m_nOutputDegrees - m_curve.m_nHysteresis) {
        m_nLowSinceMs.reset();
        return {};
    }
    if (!m_nLowSinceMs) {
        m_nLowSinceMs = nNowMs;
    }
    if (nNowMs - *m_nLowSinceMs >= static_cast<unsigned long long>(m_curve.m_nDelaySeconds) * 1000) {
        return Write(nTarget, nDegrees);
    }
    return {};
}
