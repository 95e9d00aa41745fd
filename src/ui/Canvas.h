// CCanvas: an off-screen 32-bit picture drawn with anti-aliased shapes and GDI text, shown with one
// copy, so the curve editor's lines are as smooth as the skin's art and its repaints never flicker.
#pragma once
#include "ui/GdiHandle.h"

class CCanvas {
public:
    CCanvas() = default;
    ~CCanvas();
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    // Makes a picture of nWidth x nHeight pixels (kept when the size is the same); false when the
    // picture cannot be made.
    bool Resize(int nWidth, int nHeight);
    // GDI draws text and anything else here.
    HDC GetDC() const { return m_hDC; }

    // Shapes are limited to this rectangle (the whole picture after Resize).
    void SetClip(const RECT& rc) { m_rcClip = rc; }
    void ResetClip() { m_rcClip = RECT{0, 0, m_nWidth, m_nHeight}; }

    // nAlpha 0..255: how much of the colour covers what lies beneath.
    void Fill(const RECT& rc, COLORREF colour, int nAlpha = 255);
    void FillDown(const RECT& rc, COLORREF crTop, COLORREF crBottom);
    // A rounded rectangle with edges on fractional pixels; radius 0 gives square corners.
    void RoundRect(double left, double top, double right, double bottom, double radius, COLORREF colour,
                   int nAlpha = 255);
    // The same filled from top to bottom with colours from top to bottom.
    void RoundRectDown(double left, double top, double right, double bottom, double radius, COLORREF crTop,
                       COLORREF crBottom);
    // A line of the given width with round ends; equal ends give a disc.
    void Line(double x0, double y0, double x1, double y1, double width, COLORREF colour, int nAlpha = 255);
    void Disc(double x, double y, double radius, COLORREF colour, int nAlpha = 255) {
        Line(x, y, x, y, 2 * radius, colour, nAlpha);
    }
    // Text in the font and colour given, aligned by DrawTextW's format within rc.
    void Text(const std::wstring& strText, const RECT& rc, HFONT font, COLORREF colour, UINT nFormat);

    // Copies the picture to dc with its top-left corner at (x, y).
    void CopyTo(HDC dc, int x, int y) const;

private:
    // Lays colour over pixel (x, y) with coverage 0..1 times nAlpha.
    void Blend(int x, int y, COLORREF colour, int nAlpha, double coverage);
    // Visits the pixels of the bounds whose centres the shape may cover; colourAt(y) gives the colour.
    template <typename ColourAt, typename Coverage>
    void Paint(double left, double top, double right, double bottom, ColourAt colourAt, int nAlpha,
               Coverage coverage);

    HDC m_hDC = nullptr;
    BitmapHandle m_bitmap;
    HGDIOBJ m_hPrevious = nullptr;
    DWORD* m_pBits = nullptr; // top-down rows, 0x00RRGGBB
    int m_nWidth = 0;
    int m_nHeight = 0;
    RECT m_rcClip{};
};

// A colour between a and b: t = 0 gives a, 1 gives b.
COLORREF MixColour(COLORREF a, COLORREF b, double t);
