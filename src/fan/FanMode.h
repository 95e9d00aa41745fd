// The three ways a fan set can run: the card's own control, a fixed percentage, or a temperature curve.
#pragma once

enum class FanMode { Automatic, Manual, Curve };
