// Readout font sizes by DPI band and processor, and the DPI refusal rule.
#include "ui/ReadoutFonts.h"

bool IsIntelProcessor(const std::wstring& strBrand) {
    return strBrand.find(L"Intel") != std::wstring::npos;
}

bool IsDpiRefused(UINT nDpi, bool bIntel, DWORD nDpiScaling) {
    return nDpi > 144 && (!bIntel || nDpiScaling == 0);
}

ReadoutPointSizes ReadoutPointSizesFor(UINT nDpi, bool bIntel, DWORD nDpiScaling) {
    if (!bIntel) {
        if (nDpi > 120) {
            return {11, 14, 24};
        }
        if (nDpi > 96) {
            return {13, 16, 29};
        }
        return {16, 20, 36};
    }
    // With display scaling on, Windows enlarges the window itself, so the 96-DPI sizes stay.
    if (nDpiScaling == 0) {
        if (nDpi > 120) {
            return {11, 12, 24};
        }
        if (nDpi > 96) {
            return {12, 14, 29};
        }
    }
    return {16, 18, 36};
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

int PointFontHeight(int nTenths, int nLogPixelsY) {
    return -(nLogPixelsY * nTenths / 720);
}
