// Geometry of a horizontal bitmap slider: positions to thumb-centre pixels and back.
#pragma once

struct SliderGeometry {
    int nWidth = 0;      // channel width
    int nThumbWidth = 0; // thumb image width
    int nMarginLeft = 0; // channel pixels the thumb may not enter, at each end
    int nMarginRight = 0;
    int nMinimum = 0;
    int nMaximum = 100;
};

// Pixels the thumb centre travels from one end to the other.
int SliderTravel(const SliderGeometry& g);
// x of the thumb centre for a position; an empty range puts every position at the left end.
int PosToPixel(const SliderGeometry& g, int position);
// Position for a thumb centre at x; no travel maps every pixel to the minimum. Not clamped.
int PixelToPos(const SliderGeometry& g, int x);
// x limited to where the thumb centre can go.
int ClampThumbCentre(const SliderGeometry& g, int x);
