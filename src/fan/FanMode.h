// The three ways a fan set can run, and what one set was last given.
#pragma once

// The card's own control, a fixed percentage, or a temperature curve.
enum class FanMode { Automatic, Manual, Curve };

struct FanSetting {
    FanMode m_mode = FanMode::Automatic;
    // The last manual percentage, kept while the set runs another mode.
    int m_nPercent = 0;
};
