// CPointFont: creation on demand of a point-sized font.
#include "ui/PointFont.h"

#include "ui/ReadoutFonts.h"

#include <string_view>

HFONT CPointFont::Get(int nTenths, HDC dc) {
    if (m_hFont != nullptr && m_nTenths == nTenths) {
        return m_hFont.get();
    }
    LOGFONTW description{};
    description.lfHeight = PointFontHeight(nTenths, ::GetDeviceCaps(dc, LOGPIXELSY));
    description.lfCharSet = DEFAULT_CHARSET;
    std::wstring_view(m_szFace).copy(description.lfFaceName, LF_FACESIZE - 1);
    FontHandle font(::CreateFontIndirectW(&description));
    if (font != nullptr) {
        m_hFont = std::move(font);
        m_nTenths = nTenths;
    }
    return m_hFont.get();
}
