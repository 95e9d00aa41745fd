// Owners for the GDI objects of the skinned controls: each handle is released once, by its owner.
#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};

using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using RegionHandle = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;

// A memory device context holding one bitmap, for copying it (or drawing into it); the previous
// bitmap goes back and the context is released at the end of the scope.
class CBitmapDC {
public:
    CBitmapDC(HDC compatibleWith, HBITMAP bitmap)
        : m_hDC(::CreateCompatibleDC(compatibleWith)), m_hPrevious(::SelectObject(m_hDC, bitmap)) {}
    ~CBitmapDC() {
        ::SelectObject(m_hDC, m_hPrevious);
        ::DeleteDC(m_hDC);
    }
    CBitmapDC(const CBitmapDC&) = delete;
    CBitmapDC& operator=(const CBitmapDC&) = delete;

    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
};

// A bitmap resource of the program, or null when it cannot be loaded.
inline BitmapHandle LoadBitmapResource(UINT id) {
    return BitmapHandle(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
}

// Width and height of a bitmap; 0 x 0 for none.
inline SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}
