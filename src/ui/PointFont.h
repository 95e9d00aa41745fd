// CPointFont: a font of one face at a size in tenths of a point, created when first asked for and
// again only when the size changes; the object owns it.
#pragma once
#include "ui/GdiHandle.h"

class CPointFont {
public:
    explicit CPointFont(const wchar_t* szFace) : m_szFace(szFace) {}

    // The font at nTenths on a device of nDpi pixels per inch; null when none could be created.
    HFONT Get(int nTenths, int nDpi);

private:
    const wchar_t* m_szFace;
    int m_nTenths = 0;
    int m_nDpi = 0;
    FontHandle m_hFont;
};

// Font height in logical units for a size in tenths of a point on a device of nDpi pixels per
// inch, rounded as CreatePointFont does: negative, so the size is the character height without
// internal leading.
int PointFontHeight(int nTenths, int nDpi);
