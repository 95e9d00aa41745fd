// CCanvasWnd: one off-screen picture per paint.
#include "ui/CanvasWnd.h"

const WndEventTable* CCanvasWnd::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CCanvasWnd::OnPaint>(WM_PAINT),
        OnMessage<&CCanvasWnd::OnEraseBkgnd>(WM_ERASEBKGND),
    };
    static const WndEventTable table{nullptr, events};
    return &table;
}

LRESULT CCanvasWnd::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    Draw();
    m_canvas.CopyTo(dc, 0, 0);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CCanvasWnd::OnEraseBkgnd(WPARAM, LPARAM) {
    // The paint covers every pixel.
    return TRUE;
}
