// Readout fonts of the main window by display DPI and processor family, the entry boxes' font
// height, and the DPI above which the window refuses to run.
#pragma once
#include <windows.h>

#include <string>

// Point sizes of the digital readouts.
struct ReadoutPointSizes {
    int m_nUnit;        // " °C" after the temperatures
    int m_nTemperature; // GPU and PWM module temperatures
    int m_nSpeed;       // fan speeds
};

// The processor brand names Intel (case-sensitive).
bool IsIntelProcessor(const std::wstring& strBrand);

// The skin is drawn for 96 DPI and does not scale: above 144 DPI the readouts would no longer fit,
// unless an Intel system scales the display itself (dpiScaling nonzero).
bool IsDpiRefused(UINT nDpi, bool bIntel, DWORD nDpiScaling);

// A point is DPI/72 pixels, so each band shrinks the points to keep the readouts at about the
// pixel height the skin was drawn for. A DPI of 0 (unknown) gets the largest sizes.
ReadoutPointSizes ReadoutPointSizesFor(UINT nDpi, bool bIntel, DWORD nDpiScaling);

// Height of the entry boxes' digits in tenths of a point, by the same DPI bands.
int EntryFontTenths(UINT nDpi);

// Height of the unit labels' fallback font in tenths of a point.
constexpr int kUnitFontTenths = 117;

// Font height in logical units for a size in tenths of a point on a device with nLogPixelsY
// pixels per inch: negative, so the size is the character height without internal leading.
int PointFontHeight(int nTenths, int nLogPixelsY);
