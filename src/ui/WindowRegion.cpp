// The window outline cut out of a picture, pixel by pixel and from the bitmap's bits.
#include "ui/WindowRegion.h"

#include "ui/GdiHandle.h"

#include <algorithm>

namespace {

// The scanned area: the part of the bitmap under the client area.
SIZE ScanSize(HBITMAP bitmap, SIZE client) {
    const SIZE image = BitmapSize(bitmap);
    return SIZE{std::max(0L, std::min(image.cx, client.cx)), std::max(0L, std::min(image.cy, client.cy))};
}

// The pixel rows of a 24- or 32-bit DIB section, in memory order.
struct DibRows {
    const BYTE* pBits;
    size_t nStride;
    int nWidth;
    int nHeight;
    int nBytesPerPixel;

    const BYTE* Row(int line) const { return pBits + static_cast<size_t>(line) * nStride; }
    COLORREF Colour(int line, int x) const {
        const BYTE* pixel = Row(line) + static_cast<size_t>(x) * static_cast<size_t>(nBytesPerPixel);
        return RGB(pixel[2], pixel[1], pixel[0]);
    }
};

// Whether a DIB section keeps its top row first in memory. Its header does not tell (the height
// comes back positive either way), so one pixel read through GDI decides, at the first place
// where the first and last memory rows (then the second and second-to-last, ...) differ. A picture
// without such a place reads the same in both orders.
bool StoresTopRowFirst(HBITMAP bitmap, const DibRows& rows) {
    for (int line = 0; line < rows.nHeight / 2; ++line) {
        for (int x = 0; x < rows.nWidth; ++x) {
            const COLORREF first = rows.Colour(line, x);
            if (first != rows.Colour(rows.nHeight - 1 - line, x)) {
                CBitmapDC dc(nullptr, bitmap);
                return ::GetPixel(dc, x, line) == first;
            }
        }
    }
    return false;
}

void AddRect(HRGN region, int left, int top, int right, int bottom) {
    RegionHandle part(::CreateRectRgn(left, top, right, bottom));
    ::CombineRgn(region, region, part.get(), RGN_OR);
}

} // namespace

void AppendRowRuns(const BYTE* row, int width, int bytesPerPixel, COLORREF key, int y,
                   std::vector<RECT>& runs) {
    int start = 0;
    for (int x = 0; x < width; ++x) {
        const BYTE* pixel = row + static_cast<size_t>(x) * static_cast<size_t>(bytesPerPixel);
        if (RGB(pixel[2], pixel[1], pixel[0]) != key) {
            continue;
        }
        if (start < x) {
            runs.push_back(RECT{start, y, x, y + 1});
        }
        start = x + 1;
    }
    if (start < width) {
        runs.push_back(RECT{start, y, width, y + 1});
    }
}

HRGN RegionFromRuns(const std::vector<RECT>& runs) {
    if (runs.empty()) {
        return ::CreateRectRgn(0, 0, 0, 0);
    }
    RECT bounds = runs.front();
    for (const RECT& run : runs) {
        bounds.left = std::min(bounds.left, run.left);
        bounds.top = std::min(bounds.top, run.top);
        bounds.right = std::max(bounds.right, run.right);
        bounds.bottom = std::max(bounds.bottom, run.bottom);
    }
    const DWORD rectBytes = static_cast<DWORD>(runs.size() * sizeof(RECT));
    std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + rectBytes);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(runs.size());
    data->rdh.nRgnSize = rectBytes;
    data->rdh.rcBound = bounds;
    std::copy(runs.begin(), runs.end(), reinterpret_cast<RECT*>(buffer.data() + sizeof(RGNDATAHEADER)));
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
}

HRGN RegionOutsideClient(SIZE window, SIZE client) {
    HRGN region = ::CreateRectRgn(0, 0, window.cx, window.cy);
    RegionHandle inside(::CreateRectRgn(0, 0, client.cx, client.cy));
    ::CombineRgn(region, region, inside.get(), RGN_XOR);
    return region;
}

HRGN BuildRegionByPixels(HBITMAP bitmap, SIZE window, SIZE client, COLORREF key) {
    HRGN region = RegionOutsideClient(window, client);
    const SIZE scan = ScanSize(bitmap, client);
    CBitmapDC dc(nullptr, bitmap);
    for (int y = 0; y < scan.cy; ++y) {
        int start = 0;
        for (int x = 0; x < scan.cx; ++x) {
            if (::GetPixel(dc, x, y) != key) {
                continue;
            }
            if (start < x) {
                AddRect(region, start, y, x, y + 1);
            }
            start = x + 1;
        }
        if (start != scan.cx) {
            AddRect(region, start, y, scan.cx, y + 1);
        }
    }
    return region;
}

HRGN BuildRegionFromBits(HBITMAP bitmap, SIZE window, SIZE client, COLORREF key) {
    HRGN region = RegionOutsideClient(window, client);
    const SIZE scan = ScanSize(bitmap, client);
    if (scan.cx == 0 || scan.cy == 0) {
        return region;
    }
    std::vector<RECT> runs;
    runs.reserve(static_cast<size_t>(scan.cy));
    DIBSECTION dib{};
    const bool inPlace = ::GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits != nullptr &&
                         dib.dsBmih.biCompression == BI_RGB &&
                         (dib.dsBm.bmBitsPixel == 24 || dib.dsBm.bmBitsPixel == 32);
    if (inPlace) {
        ::GdiFlush();
        const DibRows rows{static_cast<const BYTE*>(dib.dsBm.bmBits),
                           static_cast<size_t>((dib.dsBm.bmWidth * dib.dsBm.bmBitsPixel + 31) / 32 * 4),
                           dib.dsBm.bmWidth, dib.dsBm.bmHeight, dib.dsBm.bmBitsPixel / 8};
        const bool topDown = StoresTopRowFirst(bitmap, rows);
        for (int y = 0; y < scan.cy; ++y) {
            AppendRowRuns(rows.Row(topDown ? y : rows.nHeight - 1 - y), scan.cx, rows.nBytesPerPixel, key, y,
                          runs);
        }
    } else {
        // Any other picture: converted to 32-bit pixels, top row first, in one call.
        const SIZE image = BitmapSize(bitmap);
        BITMAPINFO request{};
        request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        request.bmiHeader.biWidth = image.cx;
        request.bmiHeader.biHeight = -image.cy;
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
        const size_t stride = static_cast<size_t>(image.cx) * 4;
        std::vector<BYTE> pixels(stride * static_cast<size_t>(image.cy));
        HDC screen = ::GetDC(nullptr);
        const int lines = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(image.cy), pixels.data(), &request,
                                      DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        if (lines != image.cy) {
            // Unreadable at once: the pixel-by-pixel reading still gives the outline.
            ::DeleteObject(region);
            return BuildRegionByPixels(bitmap, window, client, key);
        }
        for (int y = 0; y < scan.cy; ++y) {
            AppendRowRuns(pixels.data() + static_cast<size_t>(y) * stride, scan.cx, 4, key, y, runs);
        }
    }
    RegionHandle part(RegionFromRuns(runs));
    ::CombineRgn(region, region, part.get(), RGN_OR);
    return region;
}
