// CBitmapDialog: background painting, window shape, drag by the body and transparent statics.
#include "ui/BitmapDialog.h"

#include "ui/GdiHandle.h"
#include "ui/WindowRegion.h"

namespace {
SIZE RectSize(const RECT& rc) {
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}
} // namespace

CBitmapDialog::CBitmapDialog(UINT templateId)
    : CDialog(templateId), m_hHollowBrush(static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH))) {}

CBitmapDialog::~CBitmapDialog() {
    ReleaseBackground();
    m_bDrawBitmap = FALSE;
}

void CBitmapDialog::ReleaseBackground() {
    if (m_bOwnsBitmap) {
        ::DeleteObject(m_pBackground);
        m_pBackground = nullptr;
        m_bOwnsBitmap = FALSE;
    }
}

BOOL CBitmapDialog::LoadBackground(UINT bitmapId) {
    ReleaseBackground();
    m_bDrawBitmap = FALSE;
    // A DIB section keeps its pixels readable in place, so cutting the outline costs one pass over
    // memory instead of a pixel read per call.
    m_pBackground = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (m_pBackground == nullptr) {
        return FALSE;
    }
    m_bOwnsBitmap = TRUE;
    m_bDrawBitmap = TRUE;
    BuildWindowRegion();
    // Installing an outline equal to the old one need not repaint, and the new picture must show now,
    // under every control too: the controls paint the skin beneath them themselves.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return TRUE;
}

void CBitmapDialog::BuildWindowRegion() {
    RECT rcWindow{};
    RECT rcClient{};
    ::GetWindowRect(m_hWnd, &rcWindow);
    ::GetClientRect(m_hWnd, &rcClient);
    const SIZE window = RectSize(rcWindow);
    HRGN region = nullptr;
    // Without a picture there is no outline to cut: the window keeps its whole rectangle rather
    // than vanishing.
    if (m_bShapeFromBitmap && m_pBackground != nullptr) {
        region = BuildRegionFromBits(m_pBackground, window, RectSize(rcClient), m_crKey);
    } else {
        region = ::CreateRectRgn(0, 0, window.cx, window.cy);
    }
    // The window owns the region from here on.
    ::SetWindowRgn(m_hWnd, region, TRUE);
}

const WndEventTable* CBitmapDialog::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CBitmapDialog::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&CBitmapDialog::OnLButtonDown>(WM_LBUTTONDOWN),
        OnCtlColorEvent<&CBitmapDialog::OnCtlColor>(),
        OnMessage<&CBitmapDialog::OnDrawItem>(WM_DRAWITEM),
    };
    static const WndEventTable table{CDialog::GetEventTable(), events};
    return &table;
}

LRESULT CBitmapDialog::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    if (!m_bDrawBitmap) {
        return Default();
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    CBitmapDC source(dc, m_pBackground);
    ::BitBlt(dc, 0, 0, rcClient.right, rcClient.bottom, source, 0, 0, SRCCOPY);
    return TRUE;
}

LRESULT CBitmapDialog::OnLButtonDown(WPARAM, LPARAM lParam) {
    const LRESULT result = Default();
    if (m_bDragAnywhere) {
        // Posted, so the system's move loop starts after this click has been handled.
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, lParam);
    }
    return result;
}

HBRUSH CBitmapDialog::OnCtlColor(HDC dc, HWND control, UINT kind) {
    const HBRUSH result = reinterpret_cast<HBRUSH>(Default());
    if (!m_bTransparentStatics || kind != CTLCOLOR_STATIC) {
        return result;
    }
    wchar_t className[256] = {};
    ::GetClassNameW(control, className, 255);
    if (::lstrcmpW(className, L"msctls_trackbar32") == 0) {
        return result;
    }
    ::SetBkMode(dc, TRANSPARENT);
    return m_hHollowBrush;
}

LRESULT CBitmapDialog::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item == nullptr || CWnd::FromHandle(item->hwndItem) == nullptr) {
        return Default();
    }
    return ::SendMessageW(item->hwndItem, WM_REFLECT_DRAWITEM, wParam, lParam);
}
