// CCurvePlot: the points of the selected set under the mouse and the keyboard.
#include "ui/CurvePlot.h"

#include "curve/CurveGeometry.h"
#include "ui/WindowClass.h"

namespace {
const wchar_t kPlotClass[] = L"VentiqCurvePlot";
// Where the 20..100 °C by 0..100 % square lies in the plot: 6 pixels a degree, 3 a percent.
constexpr RECT kPlotArea{48, 14, 528, 314};
// How near a handle the mouse must be to take it.
constexpr int kHitRadius = 8;
// A pressed Shift key moves a point this far per arrow key.
constexpr int kShiftStep = 5;

POINT PixelOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool IsDown(int nKey) {
    return ::GetKeyState(nKey) < 0;
}
} // namespace

bool CCurvePlot::Create(HWND hParent, const RECT& rc, int nId, const Fonts& fonts) {
    if (!EnsureWindowClass(kPlotClass, CS_DBLCLKS)) {
        return false;
    }
    const HWND hWnd = ::CreateWindowExW(0, kPlotClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rc.left,
                                        rc.top, rc.right - rc.left, rc.bottom - rc.top, hParent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                                        ::GetModuleHandleW(nullptr), nullptr);
    if (hWnd == nullptr || !SubclassWindow(hWnd) ||
        !m_canvas.Resize(rc.right - rc.left, rc.bottom - rc.top)) {
        return false;
    }
    m_fonts = fonts;
    m_rcPlot = kPlotArea;
    return true;
}

void CCurvePlot::SetPoints(int nSet, const std::vector<CurvePoint>& points) {
    SetView& set = m_sets[nSet];
    set.m_points = points;
    if (set.m_nSelected && *set.m_nSelected >= points.size()) {
        set.m_nSelected = points.size() - 1;
    }
    Repaint();
}

void CCurvePlot::SetMinimum(int nSet, int nPercent) {
    m_sets[nSet].m_nMinimum = nPercent;
    Repaint();
}

void CCurvePlot::SelectSet(int nSet) {
    m_nSet = nSet;
    if (!Selected().m_nSelected && ::GetFocus() == m_hWnd) {
        Selected().m_nSelected = 0;
    }
    Repaint();
}

void CCurvePlot::ShowHistories(const CCurveHistory& outer, const CCurveHistory& middle) {
    if (m_sets[kOuterSet].m_history == outer && m_sets[kMiddleSet].m_history == middle) {
        return;
    }
    m_sets[kOuterSet].m_history = outer;
    m_sets[kMiddleSet].m_history = middle;
    Repaint();
}

std::optional<size_t> CCurvePlot::HitPoint(POINT pixel) const {
    return HitCurvePoint(m_rcPlot, m_sets[m_nSet].m_points, pixel, kHitRadius);
}

std::optional<size_t> CCurvePlot::TabTarget(bool bBack) const {
    const SetView& set = m_sets[m_nSet];
    if (!set.m_nSelected || (bBack ? *set.m_nSelected == 0 : *set.m_nSelected + 1 >= set.m_points.size())) {
        return std::nullopt;
    }
    return bBack ? *set.m_nSelected - 1 : *set.m_nSelected + 1;
}

void CCurvePlot::MoveSelected(CurvePoint wanted) {
    SetView& set = Selected();
    if (!set.m_nSelected) {
        return;
    }
    CurvePoint& point = set.m_points[*set.m_nSelected];
    const CurvePoint kept = ConstrainCurvePoint(set.m_points, *set.m_nSelected, wanted);
    if (kept != point) {
        point = kept;
        Repaint();
    }
}

const WndEventTable* CCurvePlot::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CCurvePlot::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&CCurvePlot::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&CCurvePlot::OnLButtonUp>(WM_LBUTTONUP),
        OnMessage<&CCurvePlot::OnCaptureChanged>(WM_CAPTURECHANGED),
        OnMessage<&CCurvePlot::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        OnMessage<&CCurvePlot::OnRButtonDown>(WM_RBUTTONDOWN),
        OnMessage<&CCurvePlot::OnSetCursor>(WM_SETCURSOR),
        OnMessage<&CCurvePlot::OnGetDlgCode>(WM_GETDLGCODE),
        OnMessage<&CCurvePlot::OnKeyDown>(WM_KEYDOWN),
        OnMessage<&CCurvePlot::OnSetFocus>(WM_SETFOCUS),
        OnMessage<&CCurvePlot::OnKillFocus>(WM_KILLFOCUS),
    };
    static const WndEventTable table{CCanvasWnd::GetEventTable(), events};
    return &table;
}

LRESULT CCurvePlot::OnLButtonDown(WPARAM, LPARAM lParam) {
    ::SetFocus(m_hWnd);
    if (const std::optional<size_t> nHit = HitPoint(PixelOf(lParam))) {
        Selected().m_nSelected = nHit;
        m_bDragging = true;
        ::SetCapture(m_hWnd);
        Repaint();
    }
    return 0;
}

LRESULT CCurvePlot::OnMouseMove(WPARAM, LPARAM lParam) {
    if (m_bDragging) {
        MoveSelected(PixelToCurvePoint(m_rcPlot, PixelOf(lParam)));
    }
    return 0;
}

LRESULT CCurvePlot::OnLButtonUp(WPARAM, LPARAM) {
    if (m_bDragging) {
        ::ReleaseCapture();
    }
    return 0;
}

LRESULT CCurvePlot::OnCaptureChanged(WPARAM, LPARAM) {
    m_bDragging = false;
    return 0;
}

LRESULT CCurvePlot::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    const POINT pixel = PixelOf(lParam);
    RECT rcNear = m_rcPlot;
    ::InflateRect(&rcNear, kHitRadius, kHitRadius);
    if (HitPoint(pixel) || !::PtInRect(&rcNear, pixel)) {
        return 0;
    }
    if (const std::optional<size_t> nAdded =
            InsertCurvePoint(Selected().m_points, PixelToCurvePoint(m_rcPlot, pixel))) {
        Selected().m_nSelected = nAdded;
        Repaint();
    }
    return 0;
}

LRESULT CCurvePlot::OnRButtonDown(WPARAM, LPARAM lParam) {
    ::SetFocus(m_hWnd);
    const std::optional<size_t> nHit = HitPoint(PixelOf(lParam));
    if (nHit && RemoveCurvePoint(Selected().m_points, *nHit)) {
        Selected().m_nSelected = std::min(*nHit, Selected().m_points.size() - 1);
        Repaint();
    }
    return 0;
}

LRESULT CCurvePlot::OnSetCursor(WPARAM, LPARAM lParam) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    if (LOWORD(lParam) != HTCLIENT) {
        return Default();
    }
    ::SetCursor(::LoadCursorW(nullptr, m_bDragging || HitPoint(cursor) ? IDC_HAND : IDC_CROSS));
    return TRUE;
}

LRESULT CCurvePlot::OnGetDlgCode(WPARAM, LPARAM lParam) {
    // Tab walks through the points, and past the first or last one the dialog manager moves on.
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    const bool bTab = pMsg != nullptr && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB;
    return DLGC_WANTARROWS | (bTab && TabTarget(IsDown(VK_SHIFT)) ? DLGC_WANTTAB : 0);
}

LRESULT CCurvePlot::OnKeyDown(WPARAM wParam, LPARAM) {
    SetView& set = Selected();
    if (!set.m_nSelected) {
        return Default();
    }
    const size_t nIndex = *set.m_nSelected;
    const int nStep = IsDown(VK_SHIFT) ? kShiftStep : 1;
    CurvePoint point = set.m_points[nIndex];
    switch (wParam) {
    case VK_TAB:
        if (const std::optional<size_t> nNext = TabTarget(IsDown(VK_SHIFT))) {
            set.m_nSelected = nNext;
            Repaint();
        }
        return 0;
    case VK_LEFT:
        point.m_nDegrees -= nStep;
        break;
    case VK_RIGHT:
        point.m_nDegrees += nStep;
        break;
    case VK_UP:
        point.m_nPercent += nStep;
        break;
    case VK_DOWN:
        point.m_nPercent -= nStep;
        break;
    case VK_DELETE:
        if (RemoveCurvePoint(set.m_points, nIndex)) {
            set.m_nSelected = std::min(nIndex, set.m_points.size() - 1);
            Repaint();
        }
        return 0;
    case VK_INSERT:
        if (const std::optional<CurvePoint> midpoint = MidpointAfter(set.m_points, nIndex)) {
            if (const std::optional<size_t> nAdded = InsertCurvePoint(set.m_points, *midpoint)) {
                set.m_nSelected = nAdded;
                Repaint();
            }
        }
        return 0;
    default:
        return Default();
    }
    MoveSelected(point);
    return 0;
}

LRESULT CCurvePlot::OnSetFocus(WPARAM, LPARAM) {
    // Tabbed into, the walk starts at the end it came from; a click selects what it hits.
    SetView& set = Selected();
    if (IsDown(VK_TAB) || !set.m_nSelected) {
        set.m_nSelected = IsDown(VK_TAB) && IsDown(VK_SHIFT) ? set.m_points.size() - 1 : 0;
    }
    Repaint();
    return Default();
}

LRESULT CCurvePlot::OnKillFocus(WPARAM, LPARAM) {
    Repaint();
    return Default();
}
