// Tests of the slider geometry: positions to thumb-centre pixels and back.
#include "ui/SliderGeometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The main window's sliders: 160 pixels wide, a 40-pixel thumb, no margins.
SliderGeometry MainSlider(int minimum, int maximum) {
    return SliderGeometry{160, 40, 0, 0, minimum, maximum};
}

TEST(SliderGeometry, PositionsMapToThumbCentres) {
    const struct {
        SliderGeometry g;
        int position;
        int pixel;
    } cases[] = {
        {MainSlider(30, 100), 30, 20},
        {MainSlider(30, 100), 100, 140},
        {MainSlider(30, 100), 65, 80},
        {MainSlider(30, 100), 31, 21},  // 1/70 of 120 pixels truncates to 1
        {MainSlider(30, 100), 99, 138}, // 69/70 of 120 = 118.3
        {MainSlider(26, 100), 26, 20},
        {MainSlider(26, 100), 63, 80},
        {MainSlider(26, 100), 50, 58},   // 24/74 of 120 = 38.9
        {MainSlider(30, 100), 20, 3},    // below the limits: 20 - trunc(17.1)
        {MainSlider(30, 100), 110, 157}, // above: 20 + trunc(137.1)
        {SliderGeometry{160, 40, 5, 7, 0, 100}, 0, 25},
        {SliderGeometry{160, 40, 5, 7, 0, 100}, 100, 133},
        {SliderGeometry{160, 41, 0, 0, 0, 100}, 0, 20}, // an odd thumb's half truncates
        {MainSlider(50, 50), 50, 20},                   // an empty range keeps the thumb at the left end
        {MainSlider(0, 100), INT_MAX, INT_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PosToPixel(c.g, c.position), c.pixel)
            << "range " << c.g.nMinimum << ".." << c.g.nMaximum << ", position " << c.position;
    }
}

TEST(SliderGeometry, PixelsMapToPositions) {
    const struct {
        SliderGeometry g;
        int pixel;
        int position;
    } cases[] = {
        {MainSlider(30, 100), 80, 65},
        {MainSlider(30, 100), 20, 30},
        {MainSlider(30, 100), 140, 100},
        {MainSlider(30, 100), 81, 65}, // 61/120 of 70 = 35.6: about 1.7 pixels per position
        {MainSlider(30, 100), 82, 66},
        {MainSlider(30, 100), 21, 30},
        {MainSlider(30, 100), 0, 18}, // not clamped here
        {MainSlider(26, 100), 80, 63},
        {SliderGeometry{160, 40, 5, 7, 0, 100}, 25, 0},
        {SliderGeometry{160, 40, 5, 7, 0, 100}, 133, 100},
        {SliderGeometry{40, 40, 0, 0, 30, 100}, 20, 30}, // no travel: the minimum
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PixelToPos(c.g, c.pixel), c.position)
            << "range " << c.g.nMinimum << ".." << c.g.nMaximum << ", pixel " << c.pixel;
    }
}

TEST(SliderGeometry, TheThumbCentreStaysOnTheChannel) {
    const struct {
        SliderGeometry g;
        int x;
        int centre;
    } cases[] = {
        {MainSlider(30, 100), -500, 20},
        {MainSlider(30, 100), 19, 20},
        {MainSlider(30, 100), 20, 20},
        {MainSlider(30, 100), 77, 77},
        {MainSlider(30, 100), 140, 140},
        {MainSlider(30, 100), 141, 140},
        {SliderGeometry{160, 40, 5, 7, 0, 100}, 0, 25},
        {SliderGeometry{160, 40, 5, 7, 0, 100}, 159, 133},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClampThumbCentre(c.g, c.x), c.centre) << "x " << c.x;
    }
}

} // namespace
