// CPointFont: a font of one face at a size in tenths of a point, created when first asked for and
// again only when the size changes; the object owns it.
#pragma once
#include "ui/GdiHandle.h"

class CPointFont {
public:
    explicit CPointFont(const wchar_t* szFace) : m_szFace(szFace) {}

    // The font at nTenths, sized for dc's vertical resolution; null when none could be created.
    HFONT Get(int nTenths, HDC dc);

private:
    const wchar_t* m_szFace;
    int m_nTenths = 0;
    FontHandle m_hFont;
};
