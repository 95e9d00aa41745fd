// Geometry of a horizontal bitmap slider. Ratios are taken in floating point and truncated toward
// zero, so a pixel and a position map back and forth the same way every time.
#include "ui/SliderGeometry.h"

#include <climits>

namespace {
// Truncates toward zero; values beyond int (limits far from the position) stop at its ends.
int TruncToInt(double value) {
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}
} // namespace

int SliderTravel(const SliderGeometry& g) {
    return g.nWidth - g.nMarginRight - g.nThumbWidth - g.nMarginLeft;
}

int PosToPixel(const SliderGeometry& g, int position) {
    const double range = static_cast<double>(g.nMaximum) - g.nMinimum;
    const double fraction = range != 0.0 ? (static_cast<double>(position) - g.nMinimum) / range : 0.0;
    return TruncToInt(g.nMarginLeft + static_cast<double>(TruncToInt(fraction * SliderTravel(g))) +
                      g.nThumbWidth / 2);
}

int PixelToPos(const SliderGeometry& g, int x) {
    const int travel = SliderTravel(g);
    if (travel == 0) {
        return g.nMinimum;
    }
    const double fraction = (static_cast<double>(x) - g.nThumbWidth / 2 - g.nMarginLeft) / travel;
    return TruncToInt(g.nMinimum + fraction * (static_cast<double>(g.nMaximum) - g.nMinimum));
}

int ClampThumbCentre(const SliderGeometry& g, int x) {
    const int lowest = g.nMarginLeft + g.nThumbWidth / 2;
    const int highest = g.nWidth - g.nMarginRight - g.nThumbWidth / 2;
    if (x < lowest) {
        x = lowest;
    }
    if (x > highest) {
        x = highest;
    }
    return x;
}
