// CxSkinButton: drawing by state, hover and pushed-look tracking, check handling, hand cursor.
#include "ui/SkinButton.h"

#include "ui/BitmapDialog.h"

#include <windowsx.h>

CxSkinButton::CxSkinButton()
    : m_hCursor(::LoadCursorW(nullptr, IDC_HAND)), m_crText(::GetSysColor(COLOR_BTNTEXT)) {}

void CxSkinButton::SetSkinImages(UINT normalId, UINT downId, UINT overId, UINT disabledId) {
    m_hNormal = LoadBitmapResource(normalId);
    m_hDown = LoadBitmapResource(downId);
    m_hOver = LoadBitmapResource(overId);
    m_hDisabled = LoadBitmapResource(disabledId);
    // Nothing repaints the whole window any more, so the new images show by the button's own repaint.
    Repaint();
}

void CxSkinButton::PreSubclassWindow() {
    const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    if ((style & 3) == 3) {
        m_nKind = kCheckBox;
    } else if ((style & 9) == 9) {
        m_nKind = kRadioButton;
    } else {
        m_nKind = kPushButton;
    }
    // The system then asks the parent to draw the button, and the parent hands that back here.
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
}

void CxSkinButton::Repaint() const {
    if (m_hWnd != nullptr) {
        Invalidate();
    }
}

void CxSkinButton::ToggleCheck() {
    SendMessage(BM_SETCHECK, m_nKind == kCheckBox ? !m_bChecked : TRUE);
}

const WndEventTable* CxSkinButton::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CxSkinButton::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&CxSkinButton::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&CxSkinButton::OnLButtonUp>(WM_LBUTTONUP),
        OnMessage<&CxSkinButton::OnMouseMove>(WM_MOUSEMOVE),
        OnMessage<&CxSkinButton::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        OnMessage<&CxSkinButton::OnKillFocus>(WM_KILLFOCUS),
        OnMessage<&CxSkinButton::OnKeyDown>(WM_KEYDOWN),
        OnMessage<&CxSkinButton::OnMouseLeave>(WM_MOUSELEAVE),
        OnMessage<&CxSkinButton::OnSkinUncheck>(WM_SKIN_UNCHECK),
        OnMessage<&CxSkinButton::OnSetCheck>(BM_SETCHECK),
        OnMessage<&CxSkinButton::OnGetCheck>(BM_GETCHECK),
        OnMessage<&CxSkinButton::OnSetCursor>(WM_SETCURSOR),
        OnMessage<&CxSkinButton::OnReflectDrawItem>(WM_REFLECT_DRAWITEM),
    };
    static const WndEventTable table{nullptr, events};
    return &table;
}

LRESULT CxSkinButton::OnReflectDrawItem(WPARAM, LPARAM lParam) {
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
}

void CxSkinButton::DrawItem(const DRAWITEMSTRUCT& item) {
    // While pressed, the pushed look follows the cursor; each change draws again by itself.
    POINT cursor{};
    if (m_bPressed && ::GetCapture() == m_hWnd && ::GetCursorPos(&cursor)) {
        const bool over = IsOverButton(cursor);
        const bool pushed = IsPushed();
        if (over != pushed) {
            SendMessage(BM_SETSTATE, over);
            return;
        }
    }

    HDC dc = item.hDC;
    const RECT& rc = item.rcItem;
    RECT rcText = rc;
    rcText.left += 2;
    rcText.right -= 2;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);

    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    HBITMAP image = nullptr;
    if (disabled) {
        image = m_hDisabled.get();
    } else if ((item.itemState & ODS_SELECTED) != 0 || m_bChecked) {
        image = m_hDown.get();
        ::OffsetRect(&rcText, 1, 1);
    } else if (m_bHover && m_hOver != nullptr) {
        image = m_hOver.get();
    } else {
        image = m_hNormal.get();
    }
    if (image != nullptr) {
        CBitmapDC source(dc, image);
        ::BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, source, 0, 0, SRCCOPY);
    } else {
        ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    }

    const std::wstring caption = GetWindowText();
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    COLORREF oldColour = 0;
    if (disabled) {
        // Embossed: a highlight copy with the grey caption one pixel up and left of it.
        oldColour = ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextW(dc, caption.c_str(), -1, &rcText, format);
        ::OffsetRect(&rcText, -1, -1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
        ::DrawTextW(dc, caption.c_str(), -1, &rcText, format);
    } else {
        oldColour = ::SetTextColor(dc, m_crText);
        ::DrawTextW(dc, caption.c_str(), -1, &rcText, format);
    }
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

LRESULT CxSkinButton::OnEraseBkgnd(WPARAM, LPARAM) {
    return TRUE;
}

LRESULT CxSkinButton::OnMouseMove(WPARAM, LPARAM lParam) {
    if (m_bPressed && ::GetCapture() == m_hWnd) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(m_hWnd, &point);
        const bool over = IsOverButton(point);
        if (over != IsPushed()) {
            SendMessage(BM_SETSTATE, over);
            Repaint();
        }
    } else if (!m_bHover) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
        if (::TrackMouseEvent(&track)) {
            m_bHover = true;
            Repaint();
        }
    }
    return Default();
}

LRESULT CxSkinButton::OnMouseLeave(WPARAM, LPARAM) {
    m_bHover = false;
    Repaint();
    return 0;
}

LRESULT CxSkinButton::OnLButtonDown(WPARAM, LPARAM) {
    // A press ends the hover look until the mouse moves again.
    if (m_bHover) {
        TRACKMOUSEEVENT track{sizeof track, TME_CANCEL | TME_LEAVE, m_hWnd, 0};
        if (::TrackMouseEvent(&track)) {
            m_bHover = false;
        }
    }
    const LRESULT result = Default();
    m_bPressed = true;
    return result;
}

LRESULT CxSkinButton::OnLButtonUp(WPARAM, LPARAM lParam) {
    if (m_nKind != kPushButton) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ClientToScreen(m_hWnd, &point);
        if (IsOverButton(point)) {
            ToggleCheck();
        }
    }
    m_bPressed = false;
    return Default();
}

LRESULT CxSkinButton::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    // An owner-drawn button would report a double click; here a fast second click is a click.
    return SendMessage(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CxSkinButton::OnKillFocus(WPARAM, LPARAM) {
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
        m_bPressed = false;
    }
    return Default();
}

LRESULT CxSkinButton::OnKeyDown(WPARAM wParam, LPARAM) {
    if (m_nKind != kPushButton && wParam == VK_SPACE) {
        ToggleCheck();
    }
    return Default();
}

LRESULT CxSkinButton::OnSetCheck(WPARAM wParam, LPARAM) {
    // A push button never latches: its lit look comes from exchanged images.
    m_bChecked = wParam != 0 && m_nKind != kPushButton;
    if (m_nKind == kRadioButton && m_bChecked) {
        HWND parent = ::GetParent(m_hWnd);
        HWND first = nullptr;
        for (HWND other = ::GetNextDlgGroupItem(parent, m_hWnd, FALSE); other != nullptr && other != m_hWnd;
             other = ::GetNextDlgGroupItem(parent, other, FALSE)) {
            // A disabled or hidden button is skipped by the walk, which then cycles without it.
            if (other == first) {
                break;
            }
            if (first == nullptr) {
                first = other;
            }
            ::SendMessageW(other, WM_SKIN_UNCHECK, 0, 0);
        }
    }
    Repaint();
    return 0;
}

LRESULT CxSkinButton::OnGetCheck(WPARAM, LPARAM) {
    return m_bChecked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT CxSkinButton::OnSkinUncheck(WPARAM, LPARAM) {
    if (m_bChecked) {
        m_bChecked = false;
        Repaint();
    }
    return 0;
}

LRESULT CxSkinButton::OnSetCursor(WPARAM, LPARAM) {
    if (m_hCursor == nullptr) {
        return Default();
    }
    ::SetCursor(m_hCursor);
    return TRUE;
}
