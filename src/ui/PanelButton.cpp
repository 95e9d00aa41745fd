// CPanelButton: the face drawn off-screen for each state the button control reports.
#include "ui/PanelButton.h"

#include "ui/BitmapDialog.h"
#include "ui/CurveColours.h"

namespace {
// A face: rim and fill from top to bottom, caption colour.
struct ButtonFace {
    COLORREF m_crRim;
    COLORREF m_crTop;
    COLORREF m_crBottom;
    COLORREF m_crText;
};
constexpr ButtonFace kDark{RGB(88, 94, 102), RGB(56, 60, 66), RGB(28, 30, 34), RGB(176, 182, 190)};
constexpr ButtonFace kGlow{RGB(120, 96, 10), RGB(48, 44, 30), RGB(26, 24, 18), kCurveAmber};
constexpr ButtonFace kLit{RGB(255, 240, 160), RGB(255, 226, 80), RGB(236, 164, 0), RGB(40, 28, 0)};
constexpr double kRadius = 5;
} // namespace

bool CPanelButton::Create(HWND hParent, const RECT& rc, int nId, const std::wstring& strCaption,
                          HFONT hFont) {
    const HWND hWnd = ::CreateWindowExW(
        0, L"BUTTON", strCaption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, rc.left, rc.top,
        rc.right - rc.left, rc.bottom - rc.top, hParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
        ::GetModuleHandleW(nullptr), nullptr);
    m_hFont = hFont;
    return hWnd != nullptr && SubclassWindow(hWnd) && m_canvas.Resize(rc.right - rc.left, rc.bottom - rc.top);
}

void CPanelButton::SetChoice(std::optional<COLORREF> colour) {
    if (m_choice != colour) {
        m_choice = colour;
        Invalidate(FALSE);
    }
}

const WndEventTable* CPanelButton::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CPanelButton::OnReflectDrawItem>(WM_REFLECT_DRAWITEM),
        OnMessage<&CPanelButton::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&CPanelButton::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&CPanelButton::OnMouseLeave>(WM_MOUSELEAVE),
        OnMessage<&CPanelButton::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
    };
    static const WndEventTable table{nullptr, events};
    return &table;
}

LRESULT CPanelButton::OnReflectDrawItem(WPARAM, LPARAM lParam) {
    const DRAWITEMSTRUCT& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    const RECT& rc = item.rcItem;
    const double right = rc.right - rc.left, bottom = rc.bottom - rc.top;
    const bool bPressed = (item.itemState & ODS_SELECTED) != 0;
    const bool bFocus = (item.itemState & ODS_FOCUS) != 0;
    ButtonFace face = bPressed ? kLit : (m_bHover ? kGlow : kDark);
    if (m_choice && !bPressed) {
        face.m_crRim = *m_choice;
        face.m_crText = *m_choice;
        face.m_crTop = MixColour(face.m_crTop, *m_choice, 0.18);
    }
    m_canvas.Fill(RECT{0, 0, rc.right - rc.left, rc.bottom - rc.top}, kCurveBody);
    if (m_bHover && !bPressed) {
        m_canvas.RoundRect(0, 0, right, bottom, kRadius + 1, kCurveFocus);
    }
    const double inset = m_bHover && !bPressed ? 1.5 : 0;
    m_canvas.RoundRect(inset, inset, right - inset, bottom - inset, kRadius,
                       bFocus ? kCurveFocus : face.m_crRim);
    m_canvas.RoundRectDown(inset + 1, inset + 1, right - inset - 1, bottom - inset - 1, kRadius - 1,
                           face.m_crTop, face.m_crBottom);
    RECT rcText{0, bPressed ? 1 : 0, rc.right - rc.left, rc.bottom - rc.top + (bPressed ? 1 : 0)};
    m_canvas.Text(GetWindowText(), rcText, m_hFont, face.m_crText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    m_canvas.CopyTo(item.hDC, rc.left, rc.top);
    return TRUE;
}

LRESULT CPanelButton::OnEraseBkgnd(WPARAM, LPARAM) {
    // The drawing covers the whole button.
    return TRUE;
}

LRESULT CPanelButton::OnMouseMove(WPARAM, LPARAM) {
    if (!m_bHover) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
        if (::TrackMouseEvent(&track)) {
            m_bHover = true;
            Invalidate(FALSE);
        }
    }
    return Default();
}

LRESULT CPanelButton::OnMouseLeave(WPARAM, LPARAM) {
    m_bHover = false;
    Invalidate(FALSE);
    return Default();
}

LRESULT CPanelButton::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    // An owner-drawn button would only report a double click; here a fast second click is a click.
    return SendMessage(WM_LBUTTONDOWN, wParam, lParam);
}
