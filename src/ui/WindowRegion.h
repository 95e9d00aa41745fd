// The window outline cut out of a picture: rows of pixels into runs, and runs into a region.
#pragma once
#include <windows.h>

#include <vector>

// Appends the runs of row y that are not the key colour, left to right, as one-pixel-high
// rectangles. The row holds width pixels of bytesPerPixel bytes (3 or 4) in blue, green, red order,
// as a 24- or 32-bit DIB stores them; a pixel matches only when its COLORREF equals key exactly.
void AppendRowRuns(const BYTE* row, int width, int bytesPerPixel, COLORREF key, int y,
                   std::vector<RECT>& runs);

// One region made of the given rectangles (empty for none).
HRGN RegionFromRuns(const std::vector<RECT>& runs);

// The part of a frameless window outside its client area, both anchored at (0, 0): where the
// window's own outline starts before the picture's runs are added.
HRGN RegionOutsideClient(SIZE window, SIZE client);

// The outline of a window of the given window and client sizes whose face is bitmap: every pixel
// of the part of the bitmap that the client area covers, except those of the key colour.
// Reads the pixels one at a time; the reference the faster reading must match.
HRGN BuildRegionByPixels(HBITMAP bitmap, SIZE window, SIZE client, COLORREF key);
// The same region from the bitmap's bits read at once: in place for a 24- or 32-bit DIB section,
// otherwise converted to 32 bits in one call.
HRGN BuildRegionFromBits(HBITMAP bitmap, SIZE window, SIZE client, COLORREF key);
