// Main window painting and input: the minimised icon, the colours and fonts of the controls, the
// entry boxes' typing rules, clicks on the fan pictures, Enter, and hiding to the tray and back.
#include "app/VentiqDlg.h"

#include "cards/CardListParse.h"
#include "fan/FanControls.h"
#include "fan/FanValues.h"
#include "ui/ReadoutFonts.h"

namespace {
constexpr COLORREF kAmber = 0x0000DEFF;
constexpr COLORREF kPalePink = 0x00FFDEFF;
constexpr WPARAM kBackspace = 8;
// Timer 1 runs slower once the user has typed a value, so the box is not overwritten at once.
constexpr UINT kEntrySyncAfterTypingMs = 500;

enum class ClickedFanSet { None, Outer, Middle };

// The fan pictures and their speed readouts toggle their fan set's mode when clicked.
ClickedFanSet FanSetOfControl(int id) {
    switch (id) {
    case IDC_FAN1_ZONE:
    case IDC_ZONE1_SPEED:
    case IDC_FAN2_ZONE:
    case IDC_ZONE2_SPEED:
        return ClickedFanSet::Outer;
    case IDC_FAN3_ZONE:
    case IDC_ZONE3_SPEED:
        return ClickedFanSet::Middle;
    default:
        return ClickedFanSet::None;
    }
}

HBRUSH HollowBrush() {
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void SelectFont(HDC dc, HFONT font) {
    if (font != nullptr) {
        ::SelectObject(dc, font);
    }
}

// A typed value takes effect held to 20..100; the slider then holds it to its own limits.
void TakeTypedValue(const CWnd& entry, CBitmapSlider& slider) {
    const int percent = EntryPercent(entry.GetWindowText());
    slider.SetPosition(percent);
    entry.SetWindowText(std::to_wstring(percent));
}
} // namespace

LRESULT CVentiqDlg::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(m_hWnd)) {
        return Default();
    }
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    const int x = (rcClient.right - rcClient.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rcClient.bottom - rcClient.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CVentiqDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}

LRESULT CVentiqDlg::OnMove(WPARAM, LPARAM) {
    return Default();
}

HBRUSH CVentiqDlg::OnCtlColor(HDC dc, HWND control, UINT) {
    const HBRUSH standard = reinterpret_cast<HBRUSH>(Default());
    const int id = ::GetDlgCtrlID(control);
    switch (id) {
    case IDC_GPU_TEMP:
    case IDC_ZONE1_SPEED:
    case IDC_ZONE2_SPEED:
    case IDC_ZONE3_SPEED:
    case IDC_PWM_TEMP:
    case IDC_FAN1_ZONE:
    case IDC_FAN2_ZONE:
    case IDC_FAN3_ZONE:
        ::SetBkMode(dc, TRANSPARENT);
        return HollowBrush();
    case IDC_EDIT_OUTER:
    case IDC_EDIT_MIDDLE: {
        const bool typing = id == IDC_EDIT_OUTER ? m_bTyping1 : m_bTyping2;
        // A click into the box asked for it to be emptied: the user types a fresh value. The flag
        // goes first, since emptying the box may ask for its colours again.
        if (typing && m_bClearEntry) {
            m_bClearEntry = false;
            ::SetWindowTextW(control, L"");
        }
        SelectFont(dc, m_entryFont.Get(EntryFontTenths(m_nAppliedDpi), BandDpi(m_nAppliedDpi)));
        ::SetTextColor(dc, typing ? kAmber : kPalePink);
        ::SetBkMode(dc, TRANSPARENT);
        return m_brEditBk;
    }
    case IDC_GPU_UNIT:
    case IDC_PWM_UNIT:
        SelectFont(dc, m_unitFont.Get(kUnitFontTenths, ::GetDeviceCaps(dc, LOGPIXELSY)));
        ::SetTextColor(dc, kAmber);
        ::SetBkMode(dc, TRANSPARENT);
        return HollowBrush();
    default:
        return standard;
    }
}

BOOL CVentiqDlg::PreTranslateMessage(MSG* msg) {
    // The curve editor's keyboard goes round its own controls.
    if (m_curveEditor.PreTranslateMessage(msg)) {
        return TRUE;
    }
    if (m_ToolTip != nullptr && ::IsWindow(m_ToolTip)) {
        ::SendMessageW(m_ToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
    const HWND target = msg->hwnd;
    const bool outerEntry = target != nullptr && target == m_editOuter.GetSafeHwnd();
    const bool middleEntry = target != nullptr && target == m_editMiddle.GetSafeHwnd();

    // The boxes take percentages: digits and backspace only, three at most (their text limit).
    if (msg->message == WM_CHAR && (outerEntry || middleEntry)) {
        const bool digit = msg->wParam >= L'0' && msg->wParam <= L'9';
        return digit || msg->wParam == kBackspace ? FALSE : TRUE;
    }

    if (msg->message == WM_LBUTTONDOWN && (outerEntry || middleEntry)) {
        // Typing mode: the slider no longer overwrites the box until Enter takes the value.
        const CWnd& entry = outerEntry ? m_editOuter : m_editMiddle;
        ::KillTimer(m_hWnd, TIMER_ENTRY_SYNC);
        entry.SetWindowText(std::to_wstring(ParseDecimal(entry.GetWindowText())));
        ::SetFocus(target);
        entry.SendMessage(EM_SETSEL, 0xFFFF, 0xFFFF);
        entry.SendMessage(EM_SCROLLCARET);
        if (outerEntry) {
            m_bTyping1 = true;
        } else {
            m_bTyping2 = true;
        }
        m_bClearEntry = true;
        return TRUE;
    }
    // A quick second click on a fan picture arrives as a double click: it toggles again.
    const bool press = msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK;
    if (press && ::GetParent(target) == m_hWnd) {
        // The mode changes before the control itself sees the click.
        switch (FanSetOfControl(::GetDlgCtrlID(target))) {
        case ClickedFanSet::Outer:
            OnAuto1();
            break;
        case ClickedFanSet::Middle:
            OnAuto2();
            break;
        case ClickedFanSet::None:
            break;
        }
    }
    return CBitmapDialog::PreTranslateMessage(msg);
}

void CVentiqDlg::OnEnterValues() {
    m_bTyping1 = false;
    m_bTyping2 = false;
    ::SetFocus(m_btnApply.GetSafeHwnd());
    TakeTypedValue(m_editOuter, m_sliderOuter);
    TakeTypedValue(m_editMiddle, m_sliderMiddle);
    ShowApply(m_btnApply, true);
    ::SetTimer(m_hWnd, TIMER_ENTRY_SYNC, kEntrySyncAfterTypingMs, nullptr);
}

void CVentiqDlg::OnMini() {
    // Hidden without an icon, the window could not be brought back: it goes to the taskbar instead.
    if (m_pTrayIcon && (m_pTrayIcon->IsIconShown() || m_pTrayIcon->ShowIcon())) {
        ShowWindow(SW_HIDE);
    } else {
        ShowWindow(SW_MINIMIZE);
    }
}

void CVentiqDlg::OnShowCommand() {
    m_bStayHidden = false;
    // Hidden, the window painted nothing; it shows the values it holds now, painted at once.
    ShowWindow(SW_SHOW);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}
