// CCanvas: coverage-based anti-aliasing over a DIB section's own bits.
#include "ui/Canvas.h"

#include <algorithm>
#include <cmath>
#include <string>

CCanvas::~CCanvas() {
    if (m_hDC != nullptr) {
        ::SelectObject(m_hDC, m_hPrevious);
        ::DeleteDC(m_hDC);
    }
}

bool CCanvas::Resize(int nWidth, int nHeight) {
    if (m_bitmap != nullptr && nWidth == m_nWidth && nHeight == m_nHeight) {
        return true;
    }
    if (m_hDC == nullptr) {
        m_hDC = ::CreateCompatibleDC(nullptr);
        if (m_hDC == nullptr) {
            return false;
        }
        m_hPrevious = ::GetCurrentObject(m_hDC, OBJ_BITMAP);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    BitmapHandle bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0));
    if (bitmap == nullptr) {
        return false;
    }
    ::SelectObject(m_hDC, bitmap.get());
    m_bitmap = std::move(bitmap);
    m_pBits = static_cast<DWORD*>(pBits);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    ResetClip();
    ::SetBkMode(m_hDC, TRANSPARENT);
    return true;
}

void CCanvas::Blend(int x, int y, COLORREF colour, int nAlpha, double coverage) {
    const int nWeight = static_cast<int>(coverage * nAlpha + 0.5);
    if (nWeight <= 0) {
        return;
    }
    DWORD& pixel = m_pBits[static_cast<size_t>(y) * m_nWidth + x];
    const auto channel = [nWeight](DWORD below, DWORD above) {
        return (below * (255 - nWeight) + above * nWeight + 127) / 255;
    };
    const DWORD r = channel((pixel >> 16) & 0xFF, GetRValue(colour));
    const DWORD g = channel((pixel >> 8) & 0xFF, GetGValue(colour));
    const DWORD b = channel(pixel & 0xFF, GetBValue(colour));
    pixel = (r << 16) | (g << 8) | b;
}

namespace {
// Coverage of a pixel centre by a rounded box: 1 well inside, 0 outside, a ramp along the edge.
auto RoundedBox(double left, double top, double right, double bottom, double radius) {
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double halfWidth = (right - left) / 2 - radius, halfHeight = (bottom - top) / 2 - radius;
    return [=](double x, double y) {
        const double dx = std::abs(x - cx) - halfWidth, dy = std::abs(y - cy) - halfHeight;
        const double outside = std::hypot(std::max(dx, 0.0), std::max(dy, 0.0));
        return 0.5 - (outside + std::min(std::max(dx, dy), 0.0) - radius);
    };
}

auto Solid(COLORREF colour) {
    return [colour](int) { return colour; };
}
} // namespace

template <typename ColourAt, typename Coverage>
void CCanvas::Paint(double left, double top, double right, double bottom, ColourAt colourAt, int nAlpha,
                    Coverage coverage) {
    if (m_pBits == nullptr) {
        return;
    }
    // GDI may still hold drawing of its own for these bits.
    ::GdiFlush();
    const int x0 = std::max<int>(m_rcClip.left, static_cast<int>(std::floor(left)));
    const int y0 = std::max<int>(m_rcClip.top, static_cast<int>(std::floor(top)));
    const int x1 = std::min<int>(m_rcClip.right, static_cast<int>(std::ceil(right)));
    const int y1 = std::min<int>(m_rcClip.bottom, static_cast<int>(std::ceil(bottom)));
    for (int y = y0; y < y1; ++y) {
        const COLORREF colour = colourAt(y);
        for (int x = x0; x < x1; ++x) {
            Blend(x, y, colour, nAlpha, std::clamp(coverage(x + 0.5, y + 0.5), 0.0, 1.0));
        }
    }
}

void CCanvas::Fill(const RECT& rc, COLORREF colour, int nAlpha) {
    Paint(rc.left, rc.top, rc.right, rc.bottom, Solid(colour), nAlpha, [](double, double) { return 1.0; });
}

void CCanvas::FillDown(const RECT& rc, COLORREF crTop, COLORREF crBottom) {
    RoundRectDown(rc.left, rc.top, rc.right, rc.bottom, 0, crTop, crBottom);
}

void CCanvas::RoundRect(double left, double top, double right, double bottom, double radius, COLORREF colour,
                        int nAlpha) {
    Paint(left, top, right, bottom, Solid(colour), nAlpha, RoundedBox(left, top, right, bottom, radius));
}

void CCanvas::RoundRectDown(double left, double top, double right, double bottom, double radius,
                            COLORREF crTop, COLORREF crBottom) {
    const double span = std::max(1.0, bottom - top - 1);
    const auto colourAt = [=](int y) {
        return MixColour(crTop, crBottom, std::clamp((y - top) / span, 0.0, 1.0));
    };
    Paint(left, top, right, bottom, colourAt, 255, RoundedBox(left, top, right, bottom, radius));
}

void CCanvas::Line(double x0, double y0, double x1, double y1, double width, COLORREF colour, int nAlpha) {
    const double radius = width / 2;
    const double dx = x1 - x0, dy = y1 - y0;
    const double lengthSquared = dx * dx + dy * dy;
    Paint(std::min(x0, x1) - radius - 1, std::min(y0, y1) - radius - 1, std::max(x0, x1) + radius + 1,
          std::max(y0, y1) + radius + 1, Solid(colour), nAlpha, [=](double x, double y) {
              const double t = lengthSquared > 0
                                   ? std::clamp(((x - x0) * dx + (y - y0) * dy) / lengthSquared, 0.0, 1.0)
                                   : 0.0;
              return radius + 0.5 - std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
          });
}

void CCanvas::Text(const std::wstring& strText, const RECT& rc, HFONT font, COLORREF colour, UINT nFormat) {
    if (m_hDC == nullptr || font == nullptr) {
        return;
    }
    const HGDIOBJ previous = ::SelectObject(m_hDC, font);
    ::SetTextColor(m_hDC, colour);
    RECT rcText = rc;
    ::DrawTextW(m_hDC, strText.c_str(), -1, &rcText, nFormat | DT_NOPREFIX);
    ::SelectObject(m_hDC, previous);
}

void CCanvas::CopyTo(HDC dc, int x, int y) const {
    if (m_hDC != nullptr) {
        ::BitBlt(dc, x, y, m_nWidth, m_nHeight, m_hDC, 0, 0, SRCCOPY);
    }
}

COLORREF MixColour(COLORREF a, COLORREF b, double t) {
    const auto channel = [t](int from, int to) {
        return static_cast<BYTE>(std::lround(from + (to - from) * t));
    };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}
