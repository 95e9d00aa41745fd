// CLabel: the setters, painting over the skin, blinking, clicks and the refresh on text changes.
#include "ui/Label.h"

#include "ui/MemoDC.h"
#include "ui/PointFont.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

namespace {
const UINT_PTR kBlinkTimer = 1;
const UINT kBlinkMilliseconds = 500;
// Bands of a gradient background, at most.
const int kMaxBands = 100;

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH info{};
    ::GetObjectW(brush, sizeof info, &info);
    return info.lbColor;
}

// Colour of band i of n from start toward end, each channel stepping in 8.8 fixed point.
COLORREF BandColour(COLORREF start, COLORREF end, int i, int n) {
    const auto channel = [&](int shift) {
        const int from = static_cast<int>((start >> shift) & 0xFF);
        const int to = static_cast<int>((end >> shift) & 0xFF);
        const int step = ((to - from) * 256) / n;
        return static_cast<COLORREF>(((from * 256) + i * step) / 256) & 0xFF;
    };
    return channel(0) | (channel(8) << 8) | (channel(16) << 16);
}

// The labels of this process that have a window, so a label finds the ones overlapping it without
// asking the system about every sibling window.
std::vector<const CLabel*>& LiveLabels() {
    static std::vector<const CLabel*> labels;
    return labels;
}
} // namespace

CLabel::CLabel()
    : m_brFace(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))),
      m_brBackground(::CreateSolidBrush(RGB(0x7E, 0x7E, 0x7E))) {}

CLabel::~CLabel() {
    if (m_bBlinkTimer && m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::KillTimer(m_hWnd, kBlinkTimer);
    }
    std::vector<const CLabel*>& labels = LiveLabels();
    labels.erase(std::remove(labels.begin(), labels.end(), this), labels.end());
}

void CLabel::PreSubclassWindow() {
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (font == nullptr) {
        font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    }
    ::GetObjectW(font, sizeof m_lf, &m_lf);
    RebuildFont();
    m_strCaption = GetWindowText();
    LiveLabels().push_back(this);
}

void CLabel::RebuildFont() {
    m_font.reset(::CreateFontIndirectW(&m_lf));
}

void CLabel::RefreshLabel() const {
    // The label paints the skin beneath it itself, so only the label repaints, with the next update.
    if (m_hWnd != nullptr) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void CLabel::ChangeStyle(int index, LONG_PTR bits, bool on) const {
    if (m_hWnd == nullptr) {
        return;
    }
    const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, index);
    ::SetWindowLongPtrW(m_hWnd, index, on ? (style | bits) : (style & ~bits));
}

CLabel& CLabel::SetBackground(COLORREF colour, COLORREF colour2, int kind) {
    m_crGradientStart = colour;
    m_crGradientEnd = colour2;
    m_nGradient = kind;
    m_brBackground.reset();
    if (kind == kSolid) {
        m_brBackground.reset(::CreateSolidBrush(colour));
    }
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetForeColour(COLORREF colour) {
    m_crText = colour;
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetCaption(const std::wstring& text) {
    // The text change itself refreshes the label (OnSetText).
    SetWindowText(text);
    return *this;
}

CLabel& CLabel::SetBoldWeight(bool on) {
    m_lf.lfWeight = on ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetFaceName(const wchar_t* face, BYTE charSet) {
    std::fill(std::begin(m_lf.lfFaceName), std::end(m_lf.lfFaceName), L'\0');
    if (face != nullptr) {
        ::lstrcpynW(m_lf.lfFaceName, face, LF_FACESIZE);
    }
    m_lf.lfCharSet = charSet;
    RebuildFont();
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetUnderlined(bool on) {
    m_lf.lfUnderline = on ? TRUE : FALSE;
    RebuildFont();
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetItalicStyle(bool on) {
    m_lf.lfItalic = on ? TRUE : FALSE;
    RebuildFont();
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetPointSize(int points) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return SetPointSizeAt(points, dpi);
}

CLabel& CLabel::SetPointSizeAt(int points, int dpi) {
    // A point is DPI / 72 pixels; sizes beyond what tenths of a point hold are held there.
    const long long tenths = std::clamp<long long>(static_cast<long long>(points) * 10, INT_MIN, INT_MAX);
    m_lf.lfHeight = PointFontHeight(static_cast<int>(tenths), dpi);
    m_lf.lfWidth = 0;
    RebuildFont();
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetSunkenEdge(bool on) {
    ChangeStyle(GWL_EXSTYLE, WS_EX_STATICEDGE, on);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return *this;
}

CLabel& CLabel::SetFrame(bool on) {
    ChangeStyle(GWL_STYLE, WS_BORDER, on);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return *this;
}

CLabel& CLabel::SetSeeThrough(bool on) {
    m_bSeeThrough = on;
    ChangeStyle(GWL_EXSTYLE, WS_EX_TRANSPARENT, on);
    RefreshLabel();
    return *this;
}

void CLabel::StopBlinking() {
    if (m_bBlinkTimer) {
        ::KillTimer(m_hWnd, kBlinkTimer);
        m_bBlinkTimer = false;
    }
}

void CLabel::StartBlinking(int kind) {
    m_bBlinkPhase = false;
    m_bBlinkTimer = m_hWnd != nullptr && ::SetTimer(m_hWnd, kBlinkTimer, kBlinkMilliseconds, nullptr) != 0;
    m_nBlinkKind = kind;
}

CLabel& CLabel::SetBlinkingText(bool on) {
    StopBlinking();
    if (on) {
        StartBlinking(kBlinkText);
    } else {
        m_nBlinkKind = kNoBlink;
    }
    return *this;
}

CLabel& CLabel::SetBlinkingBackground(bool on) {
    StopBlinking();
    if (on) {
        StartBlinking(kBlinkBackground);
    } else {
        m_nBlinkKind = kNoBlink;
    }
    return *this;
}

CLabel& CLabel::SetHyperlink(bool on, bool notifyParent) {
    m_bNotifyParent = notifyParent;
    ChangeStyle(GWL_STYLE, SS_NOTIFY, on);
    return *this;
}

CLabel& CLabel::SetHyperlinkCursor(HCURSOR cursor) {
    m_hCursor = cursor;
    return *this;
}

CLabel& CLabel::SetEmbossed(bool on, bool raised) {
    m_bEmbossed = on;
    m_bEmbossRaised = raised;
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetRotation(int degrees, bool rotated) {
    m_lf.lfEscapement = degrees * 10;
    m_lf.lfOrientation = degrees * 10;
    m_bRotated = rotated;
    RebuildFont();
    RefreshLabel();
    return *this;
}

CLabel& CLabel::SetEmbossColour(COLORREF colour) {
    m_crEmboss = colour;
    RefreshLabel();
    return *this;
}

const WndEventTable* CLabel::GetEventTable() const {
    static const WndEvent events[] = {
        OnTimerEvent<&CLabel::OnTimer>(),
        OnMessage<&CLabel::OnLButtonDown>(WM_LBUTTONDOWN),
        OnMessage<&CLabel::OnSetCursor>(WM_SETCURSOR),
        OnMessage<&CLabel::OnSysColorChange>(WM_SYSCOLORCHANGE),
        OnMessage<&CLabel::OnPaint>(WM_PAINT),
        OnMessage<&CLabel::OnSetText>(WM_SETTEXT),
    };
    static const WndEventTable table{nullptr, events};
    return &table;
}

void CLabel::OnTimer(UINT_PTR timerId) {
    if (timerId == kBlinkTimer) {
        m_bBlinkPhase = !m_bBlinkPhase;
        RefreshLabel();
    }
    Default();
}

LRESULT CLabel::OnLButtonDown(WPARAM, LPARAM) {
    if (m_bNotifyParent) {
        NMHDR header{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), NM_LABELCLICK};
        ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()),
                       reinterpret_cast<LPARAM>(&header));
    } else {
        ::ShellExecuteW(nullptr, L"open", GetWindowText().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    return Default();
}

LRESULT CLabel::OnSetCursor(WPARAM, LPARAM) {
    if (m_hCursor == nullptr) {
        return Default();
    }
    ::SetCursor(m_hCursor);
    return TRUE;
}

LRESULT CLabel::OnSysColorChange(WPARAM, LPARAM) {
    m_brFace.reset(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    RefreshLabel();
    return 0;
}

LRESULT CLabel::OnSetText(WPARAM wParam, LPARAM lParam) {
    // Stored without the static control's own immediate drawing of the caption. An unchanged
    // caption repaints nothing, so a tick that reads the same values paints nothing.
    const auto* text = reinterpret_cast<const wchar_t*>(lParam);
    const LRESULT result = ::DefWindowProcW(m_hWnd, WM_SETTEXT, wParam, lParam);
    if (text == nullptr ? !m_strCaption.empty() : m_strCaption != text) {
        m_strCaption = text != nullptr ? text : L"";
        RefreshLabel();
    }
    return result;
}

void CLabel::DrawWhatLiesBeneath(HDC dc) const {
    HWND parent = ::GetParent(m_hWnd);
    if (parent == nullptr) {
        return;
    }
    // The parent erases into dc as if dc were its own client area, shifted so that the label's
    // corner lands on dc's origin; what falls outside the label is clipped away.
    POINT corner{0, 0};
    ::MapWindowPoints(m_hWnd, parent, &corner, 1);
    POINT origin{};
    ::OffsetWindowOrgEx(dc, corner.x, corner.y, &origin);
    ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SetWindowOrgEx(dc, origin.x, origin.y, nullptr);

    // See-through labels that overlap this one (a value and its unit) show their captions here
    // too, so whichever of them repaints last leaves both on the skin.
    RECT rcSelf{};
    ::GetWindowRect(m_hWnd, &rcSelf);
    for (const CLabel* other : LiveLabels()) {
        RECT rcOther{};
        RECT overlap{};
        if (other == this || !other->m_bSeeThrough || ::GetParent(other->m_hWnd) != parent ||
            (::GetWindowLongPtrW(other->m_hWnd, GWL_STYLE) & WS_VISIBLE) == 0 ||
            !::GetWindowRect(other->m_hWnd, &rcOther) || !::IntersectRect(&overlap, &rcSelf, &rcOther)) {
            continue;
        }
        RECT rcCaption{};
        ::GetClientRect(other->m_hWnd, &rcCaption);
        POINT place{0, 0};
        ::MapWindowPoints(other->m_hWnd, m_hWnd, &place, 1);
        ::OffsetWindowOrgEx(dc, -place.x, -place.y, &origin);
        other->DrawCaption(dc, rcCaption);
        ::SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
    }
}

void CLabel::FillBackground(HDC dc, const RECT& rc) const {
    if (m_nGradient == kSolid) {
        ::FillRect(dc, &rc, m_brBackground != nullptr ? m_brBackground.get() : m_brFace.get());
        return;
    }
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int bands = std::min(kMaxBands, height);
    const int extent = m_nGradient == kGradientAcross ? width : height;
    for (int i = 0; i < bands; ++i) {
        const int from = i * extent / bands;
        const int to = i == bands - 1 ? extent : (i + 1) * extent / bands;
        RECT band = rc;
        if (m_nGradient == kGradientAcross) {
            band.left = rc.left + from;
            band.right = rc.left + to;
        } else {
            band.top = rc.top + from;
            band.bottom = rc.top + to;
        }
        BrushHandle brush(::CreateSolidBrush(BandColour(m_crGradientStart, m_crGradientEnd, i, bands)));
        ::FillRect(dc, &band, brush.get());
    }
}

UINT CLabel::TextFormat(const std::wstring& text) const {
    const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    if ((style & SS_CENTERIMAGE) != 0) {
        return text.find(L"\r\n") != std::wstring::npos ? DT_CENTER : DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    }
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        return DT_CENTER | DT_WORDBREAK;
    case SS_RIGHT:
        return DT_RIGHT | DT_WORDBREAK;
    case SS_LEFTNOWORDWRAP:
        return DT_LEFT;
    default:
        return DT_LEFT | DT_WORDBREAK;
    }
}

void CLabel::DrawCaption(HDC dc, const RECT& rc) const {
    const std::wstring& text = m_strCaption;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF colour = m_crText;
    const HGDIOBJ oldFont = ::SelectObject(dc, m_font.get());
    if (m_nBlinkKind == kBlinkText && !m_bBlinkPhase) {
        colour = BrushColour(m_brBackground != nullptr ? m_brBackground.get() : m_brFace.get());
    }
    const COLORREF oldColour = ::SetTextColor(dc, colour);
    if (m_bRotated) {
        const UINT oldAlign = ::SetTextAlign(dc, TA_BASELINE);
        POINT oldOrigin{};
        ::OffsetViewportOrgEx(dc, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, &oldOrigin);
        ::TextOutW(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
        ::SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        ::SetTextAlign(dc, oldAlign);
    } else {
        const UINT format = TextFormat(text);
        RECT rcText = rc;
        ::DrawTextW(dc, text.c_str(), -1, &rcText, format);
        if (m_bEmbossed) {
            const int offset = m_bEmbossRaised ? 1 : -1;
            ::OffsetRect(&rcText, offset, offset);
            ::SetTextColor(dc, m_crEmboss);
            ::DrawTextW(dc, text.c_str(), -1, &rcText, format);
        }
    }
    ::SetTextColor(dc, oldColour);
    ::SelectObject(dc, oldFont);
    ::SetBkMode(dc, oldMode);
}

LRESULT CLabel::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint{};
    HDC paintDC = ::BeginPaint(m_hWnd, &paint);
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    {
        // One pass through an off-screen picture: what lies beneath (or the label's own background)
        // and the caption reach the screen together, so the caption never flickers.
        CMemoDC offscreen(paintDC, &rc, false);
        if (m_bSeeThrough) {
            DrawWhatLiesBeneath(offscreen);
        } else {
            FillBackground(offscreen, rc);
        }
        DrawCaption(offscreen, rc);
    }
    ::EndPaint(m_hWnd, &paint);
    return 0;
}
