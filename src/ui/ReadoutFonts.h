// Readout fonts of the main window by display DPI and processor family, the entry boxes' font
// height, and the DPI above which the window refuses to run.
#pragma once
#include <windows.h>

#include <string>

// Point sizes of the digital readouts, and the DPI they are meant for.
struct ReadoutPointSizes {
    int m_nUnit;        // " °C" after the temperatures
    int m_nTemperature; // GPU and PWM module temperatures
    int m_nSpeed;       // fan speeds
    int m_nDpi;         // converted at this DPI the sizes give the pixel heights the skin wants
};

// The processor brand names Intel (case-sensitive).
bool IsIntelProcessor(const std::wstring& strBrand);

// The skin is drawn for 96 DPI and does not scale: above 144 DPI the readouts would no longer fit,
// unless an Intel system scales the display itself (dpiScaling nonzero).
bool IsDpiRefused(UINT nDpi, bool bIntel, DWORD nDpiScaling);

// The DPI of the band nDpi falls in: 96, 120 or 144 (also above, where the window refuses).
int BandDpi(UINT nDpi);

// A point is DPI/72 pixels, so each band shrinks the points to keep the readouts at about the
// pixel height the skin was drawn for. The sizes are converted at the band's DPI, not at the
// screen's: a program that declares no DPI awareness is told 96 while Windows scales its window,
// and the readouts must scale with the skin. A DPI of 0 (unknown) gets the largest sizes.
ReadoutPointSizes ReadoutPointSizesFor(UINT nDpi, bool bIntel, DWORD nDpiScaling);

// Height of the entry boxes' digits in tenths of a point, by the same DPI bands (converted at
// BandDpi for the same reason).
int EntryFontTenths(UINT nDpi);

// Height of the unit labels' fallback font in tenths of a point.
constexpr int kUnitFontTenths = 117;
