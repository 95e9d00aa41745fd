// Font sizes of the curve editor by display DPI band.
#pragma once
#include <windows.h>

// Sizes in tenths of a point. Like the readouts' they are converted at BandDpi, not at the
// screen's DPI, and shrink band by band so that each keeps the pixel height the editor's pixel
// layout was drawn for.
struct CurveEditorFontSizes {
    int m_nTitle;   // the banner's product name
    int m_nCaption; // captions and buttons
    int m_nScale;   // axis numbers and hints
    int m_nValue;   // temperatures and percentages, in the digital face
};

CurveEditorFontSizes CurveEditorFontSizesFor(UINT nDpi);
