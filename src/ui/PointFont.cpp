// CPointFont: creation on demand of a point-sized font.
#include "ui/PointFont.h"

#include <cstdlib>
#include <string_view>

int PointFontHeight(int nTenths, int nDpi) {
    return -std::abs(::MulDiv(nTenths, nDpi, 720));
}

HFONT CPointFont::Get(int nTenths, int nDpi) {
    if (m_hFont != nullptr && m_nTenths == nTenths && m_nDpi == nDpi) {
        return m_hFont.get();
    }
    LOGFONTW description{};
    description.lfHeight = PointFontHeight(nTenths, nDpi);
    description.lfCharSet = DEFAULT_CHARSET;
    std::wstring_view(m_szFace).copy(description.lfFaceName, LF_FACESIZE - 1);
    FontHandle font(::CreateFontIndirectW(&description));
    if (font != nullptr) {
        m_hFont = std::move(font);
        m_nTenths = nTenths;
        m_nDpi = nDpi;
    }
    return m_hFont.get();
}
