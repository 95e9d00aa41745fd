// Readout font sizes by DPI band and processor, and the DPI refusal rule.
#include "ui/ReadoutFonts.h"

bool IsIntelProcessor(const std::wstring& strBrand) {
    return strBrand.find(L"Intel") != std::wstring::npos;
}

bool IsDpiRefused(UINT nDpi, bool bIntel, DWORD nDpiScaling) {
    return nDpi > 144 && (!bIntel || nDpiScaling == 0);
}

int BandDpi(UINT nDpi) {
    if (nDpi > 120) {
        return 144;
    }
    if (nDpi > 96) {
        return 120;
    }
    return 96;
}

ReadoutPointSizes ReadoutPointSizesFor(UINT nDpi, bool bIntel, DWORD nDpiScaling) {
    const int dpi = BandDpi(nDpi);
    if (!bIntel) {
        if (nDpi > 120) {
            return {11, 14, 24, dpi};
        }
        if (nDpi > 96) {
            return {13, 16, 29, dpi};
        }
        return {16, 20, 36, dpi};
    }
    // With display scaling on, Windows enlarges the window itself, so the 96-DPI sizes stay.
    if (nDpiScaling == 0) {
        if (nDpi > 120) {
            return {11, 12, 24, dpi};
        }
        if (nDpi > 96) {
            return {12, 14, 29, dpi};
        }
    }
    return {16, 18, 36, 96};
}

int EntryFontTenths(UINT nDpi) {
    if (nDpi > 120) {
        return 85;
    }
    if (nDpi > 96) {
        return 100;
    }
    return 116;
}
