// CBitmapSlider: painting from images, mouse drag, navigation keys and the parent notifications.
#include "ui/BitmapSlider.h"

#include "ui/MemoDC.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

const UINT kThumbImage = 142;
const UINT kThumbActiveImage = 143;
// Step of Page Up / Page Down.
const int kPage = 20;

// A one-bit mask of the image's black pixels (1 = transparent); those pixels of the image are
// made pure black, so drawing is an AND with the mask followed by an OR with the image.
BitmapHandle MakeTransparencyMask(HBITMAP image) {
    const SIZE size = BitmapSize(image);
    BitmapHandle mask(::CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
    CBitmapDC imageDC(nullptr, image);
    CBitmapDC maskDC(nullptr, mask.get());
    ::SetBkColor(imageDC, RGB(0, 0, 0));
    ::BitBlt(maskDC, 0, 0, size.cx, size.cy, imageDC, 0, 0, SRCCOPY);
    ::SetBkColor(imageDC, RGB(255, 255, 255));
    ::SetTextColor(imageDC, RGB(0, 0, 0));
    const DWORD kAndInvertedSource = 0x00220326;
    ::BitBlt(imageDC, 0, 0, size.cx, size.cy, maskDC, 0, 0, kAndInvertedSource);
    return mask;
}

} // namespace

SliderGeometry CBitmapSlider::Geometry() const {
    return SliderGeometry{m_nWidth, m_nThumbWidth, m_nMarginLeft, m_nMarginRight, m_nMinimum, m_nMaximum};
}

BOOL CBitmapSlider::SetChannelImages(UINT normalId, UINT activeId) {
    BitmapHandle normal = LoadBitmapResource(normalId);
    BitmapHandle active = LoadBitmapResource(activeId);
    if (normal == nullptr || active == nullptr) {
        m_hChannel.reset();
        m_hChannelActive.reset();
        m_bChannelSet = FALSE;
        return FALSE;
    }
    const SIZE size = BitmapSize(normal.get());
    m_hChannel = std::move(normal);
    m_hChannelActive = std::move(active);
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    m_bChannelSet = TRUE;
    return TRUE;
}

BOOL CBitmapSlider::SetThumbImages() {
    BitmapHandle normal = LoadBitmapResource(kThumbImage);
    BitmapHandle active = LoadBitmapResource(kThumbActiveImage);
    if (normal == nullptr || active == nullptr) {
        m_hThumb.reset();
        m_hThumbMask.reset();
        m_hThumbActive.reset();
        m_hThumbActiveMask.reset();
        m_bThumbSet = FALSE;
        return FALSE;
    }
    m_hThumbMask = MakeTransparencyMask(normal.get());
    m_hThumbActiveMask = MakeTransparencyMask(active.get());
    m_hThumb = std::move(normal);
    m_hThumbActive = std::move(active);
    const SIZE size = BitmapSize(m_hThumb.get());
    m_nThumbWidth = size.cx;
    m_nThumbHeight = size.cy;
    m_bThumbSet = TRUE;
    if (!m_bChannelSet) {
        RECT rcClient{};
        ::GetClientRect(m_hWnd, &rcClient);
        m_nWidth = rcClient.right;
        m_nHeight = rcClient.bottom;
    }
    return TRUE;
}

void CBitmapSlider::SetPosition(int position) {
    const int clamped = std::max(std::min(position, m_nMaximum), m_nMinimum);
    // A position the slider already shows repaints nothing.
    if (clamped != m_nPosition) {
        m_nPosition = clamped;
        Repaint();
    }
}

void CBitmapSlider::SetLimits(int minimum, int maximum) {
    m_nMinimum = minimum;
    m_nMaximum = maximum;
}

void CBitmapSlider::SetSideMargins(int left, int right) {
    m_nMarginLeft = left;
    m_nMarginRight = right;
}

void CBitmapSlider::EnableSlider(BOOL enable) {
    bool changed = (enable != FALSE) != (m_bEnabled != FALSE);
    m_bEnabled = enable;
    if (!enable && m_bDragging) {
        m_bDragging = FALSE;
        changed = true;
        if (::GetCapture() == m_hWnd) {
            ::ReleaseCapture();
        }
    }
    if (changed) {
        Repaint();
    }
}

void CBitmapSlider::ReleaseImages() {
    m_hChannel.reset();
    m_hChannelActive.reset();
    m_hThumb.reset();
    m_hThumbMask.reset();
    m_hThumbActive.reset();
    m_hThumbActiveMask.reset();
    m_bChannelSet = FALSE;
    m_bThumbSet = FALSE;
}

void CBitmapSlider::Repaint() const {
    // The paint covers the whole control, so nothing is erased first.
    if (m_hWnd != nullptr) {
        Invalidate(FALSE);
    }
}

void CBitmapSlider::NotifyParent(UINT message) const {
    ::PostMessageW(::GetParent(m_hWnd), message, static_cast<WPARAM>(GetDlgCtrlID()), m_nPosition);
}

const WndEventTable* CBitmapSlider::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CBitmapSlider::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&CBitmapSlider::OnPaint>(WM_PAINT),
        OnMessage<&CBitmapSlider::OnLButtonDown>(WM_LBUTTONDOWN),
        // A quick second press arrives as a double click; it is a press all the same.
        OnMessage<&CBitmapSlider::OnLButtonDown>(WM_LBUTTONDBLCLK),
        OnMessage<&CBitmapSlider::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&CBitmapSlider::OnLButtonUp>(WM_LBUTTONUP),
        OnMessage<&CBitmapSlider::OnCaptureChanged>(WM_CAPTURECHANGED),
        OnMessage<&CBitmapSlider::OnGetDlgCode>(WM_GETDLGCODE),
        OnMessage<&CBitmapSlider::OnKeyDown>(WM_KEYDOWN),
        OnMessage<&CBitmapSlider::OnKillFocus>(WM_KILLFOCUS),
        OnMessage<&CBitmapSlider::OnSetFocus>(WM_SETFOCUS),
        OnMessage<&CBitmapSlider::OnDestroy>(WM_DESTROY),
    };
    static const WndEventTable table{nullptr, events};
    return &table;
}

LRESULT CBitmapSlider::OnEraseBkgnd(WPARAM, LPARAM) {
    // The paint covers the whole control.
    return TRUE;
}

void CBitmapSlider::DrawThumb(HDC dc, int left, int top) const {
    const bool active = m_bDragging != FALSE;
    CBitmapDC mask(dc, active ? m_hThumbActiveMask.get() : m_hThumbMask.get());
    CBitmapDC image(dc, active ? m_hThumbActive.get() : m_hThumb.get());
    const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    ::BitBlt(dc, left, top, m_nThumbWidth, m_nThumbHeight, mask, 0, 0, SRCAND);
    ::BitBlt(dc, left, top, m_nThumbWidth, m_nThumbHeight, image, 0, 0, SRCPAINT);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
}

LRESULT CBitmapSlider::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint{};
    HDC paintDC = ::BeginPaint(m_hWnd, &paint);
    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    {
        CMemoDC dc(paintDC, &rcClient, false);
        const int centre = PosToPixel(Geometry(), m_nPosition);
        if (m_bChannelSet) {
            CBitmapDC normal(dc, m_hChannel.get());
            if (m_bEnabled) {
                // Lit from the left end up to the thumb centre.
                const int split = std::clamp(centre, 0, m_nWidth);
                CBitmapDC active(dc, m_hChannelActive.get());
                ::BitBlt(dc, split, 0, m_nWidth - split, m_nHeight, normal, split, 0, SRCCOPY);
                ::BitBlt(dc, 0, 0, split, m_nHeight, active, 0, 0, SRCCOPY);
            } else {
                ::BitBlt(dc, 0, 0, m_nWidth, m_nHeight, normal, 0, 0, SRCCOPY);
            }
        }
        if (m_bThumbSet && m_bEnabled) {
            DrawThumb(dc, centre - m_nThumbWidth / 2, 0);
        }
        if (m_bHasFocus && m_bEnabled) {
            ::DrawFocusRect(dc, &rcClient);
        }
    }
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

void CBitmapSlider::DragTo(int x) {
    const SliderGeometry geometry = Geometry();
    const int centre = ClampThumbCentre(geometry, x - m_nDragOffset);
    if (centre == PosToPixel(geometry, m_nPosition)) {
        return;
    }
    m_nPosition = std::max(std::min(PixelToPos(geometry, centre), m_nMaximum), m_nMinimum);
    Repaint();
    NotifyParent(WM_SLIDER_POSCHANGING);
}

LRESULT CBitmapSlider::OnLButtonDown(WPARAM, LPARAM lParam) {
    if (!m_bEnabled) {
        return 0;
    }
    ::SetCapture(m_hWnd);
    ::SetFocus(m_hWnd);
    m_bDragging = TRUE;
    const int x = GET_X_LPARAM(lParam);
    // A grab on the thumb keeps its offset, so the thumb does not jump; elsewhere the centre jumps
    // to the click.
    const int offset = x - PosToPixel(Geometry(), m_nPosition);
    m_nDragOffset = std::abs(offset) <= m_nThumbWidth / 2 ? offset : 0;
    DragTo(x);
    Repaint();
    return Default();
}

LRESULT CBitmapSlider::OnMouseMove(WPARAM, LPARAM lParam) {
    if (m_bDragging && m_bEnabled) {
        DragTo(GET_X_LPARAM(lParam));
    }
    return Default();
}

LRESULT CBitmapSlider::OnLButtonUp(WPARAM, LPARAM) {
    if (!m_bEnabled) {
        return 0;
    }
    m_bDragging = FALSE;
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
    }
    Repaint();
    NotifyParent(WM_SLIDER_POSCHANGED);
    return Default();
}

LRESULT CBitmapSlider::OnCaptureChanged(WPARAM, LPARAM lParam) {
    // Losing the mouse mid-drag (Alt+Tab, a message box) ends the drag as a release does; a release
    // has ended the drag before it gives the capture up, so it is not ended twice.
    if (m_bDragging && reinterpret_cast<HWND>(lParam) != m_hWnd) {
        m_bDragging = FALSE;
        Repaint();
        NotifyParent(WM_SLIDER_POSCHANGED);
    }
    return Default();
}

LRESULT CBitmapSlider::OnGetDlgCode(WPARAM, LPARAM) {
    // With Tab held the dialog moves the focus; otherwise the slider takes the navigation keys.
    if (::GetKeyState(VK_TAB) < 0) {
        return Default();
    }
    return DLGC_WANTALLKEYS;
}

LRESULT CBitmapSlider::OnKeyDown(WPARAM wParam, LPARAM) {
    if (!m_bEnabled) {
        return 0;
    }
    long long value = 0;
    switch (wParam) {
    case VK_PRIOR:
        value = static_cast<long long>(m_nPosition) - kPage;
        break;
    case VK_NEXT:
        value = static_cast<long long>(m_nPosition) + kPage;
        break;
    case VK_END:
        value = m_nMaximum;
        break;
    case VK_HOME:
        value = m_nMinimum;
        break;
    case VK_LEFT:
    case VK_UP:
        value = static_cast<long long>(m_nPosition) - 1;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        value = static_cast<long long>(m_nPosition) + 1;
        break;
    default:
        return Default();
    }
    SetPosition(static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)));
    NotifyParent(WM_SLIDER_POSCHANGED);
    return Default();
}

LRESULT CBitmapSlider::OnKillFocus(WPARAM, LPARAM) {
    const LRESULT result = Default();
    m_bHasFocus = FALSE;
    Repaint();
    return result;
}

LRESULT CBitmapSlider::OnSetFocus(WPARAM, LPARAM) {
    const LRESULT result = Default();
    m_bHasFocus = TRUE;
    Repaint();
    return result;
}

LRESULT CBitmapSlider::OnDestroy(WPARAM, LPARAM) {
    const LRESULT result = Default();
    ReleaseImages();
    return result;
}
