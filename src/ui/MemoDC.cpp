// CMemoDC: off-screen composition with one copy to the target.
#include "ui/MemoDC.h"

CMemoDC::CMemoDC(HDC target, const RECT* area, bool copyFirst)
    : m_pTarget(target), m_bOffscreen(::GetDeviceCaps(target, TECHNOLOGY) != DT_RASPRINTER) {
    if (area != nullptr) {
        m_rcArea = *area;
    } else {
        ::GetClipBox(target, &m_rcArea);
    }
    if (m_bOffscreen) {
        Prepare();
    } else {
        m_hDC = target;
    }
    if (copyFirst && m_bOffscreen) {
        ::BitBlt(m_hDC, m_rcArea.left, m_rcArea.top, m_rcArea.right - m_rcArea.left,
                 m_rcArea.bottom - m_rcArea.top, target, m_rcArea.left, m_rcArea.top, SRCCOPY);
    } else if (!copyFirst) {
        BrushHandle background(::CreateSolidBrush(::GetBkColor(target)));
        ::FillRect(m_hDC, &m_rcArea, background.get());
    }
}

void CMemoDC::Prepare() {
    HDC target = m_pTarget;
    m_hDC = ::CreateCompatibleDC(target);
    RECT device = m_rcArea;
    ::LPtoDP(target, reinterpret_cast<POINT*>(&device), 2);
    m_offscreen.reset(
        ::CreateCompatibleBitmap(target, device.right - device.left, device.bottom - device.top));
    m_pPrevBitmap = ::SelectObject(m_hDC, m_offscreen.get());

    ::SetMapMode(m_hDC, ::GetMapMode(target));
    SIZE extent{};
    ::GetWindowExtEx(target, &extent);
    ::SetWindowExtEx(m_hDC, extent.cx, extent.cy, nullptr);
    ::GetViewportExtEx(target, &extent);
    ::SetViewportExtEx(m_hDC, extent.cx, extent.cy, nullptr);
    // The bitmap's top-left pixel shows the area's top-left corner.
    ::SetWindowOrgEx(m_hDC, m_rcArea.left, m_rcArea.top, nullptr);
}

CMemoDC::~CMemoDC() {
    if (!m_bOffscreen) {
        return;
    }
    ::BitBlt(m_pTarget, m_rcArea.left, m_rcArea.top, m_rcArea.right - m_rcArea.left,
             m_rcArea.bottom - m_rcArea.top, m_hDC, m_rcArea.left, m_rcArea.top, SRCCOPY);
    ::SelectObject(m_hDC, m_pPrevBitmap);
    ::DeleteDC(m_hDC);
}
