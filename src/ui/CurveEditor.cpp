// CCurveEditor: the window, its controls and layout, the keyboard among them, OK, Cancel and Default.
#include "ui/CurveEditor.h"

#include "cards/CardListParse.h"
#include "ui/BitmapDialog.h"
#include "ui/CurveColours.h"
#include "ui/CurveEditorFonts.h"
#include "ui/PointFont.h"
#include "ui/ReadoutFonts.h"
#include "ui/WindowClass.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace {
const wchar_t kEditorClass[] = L"VentiqCurveEditor";
const wchar_t kEditorTitle[] = L"Ventiq fan curves";
const wchar_t kSaveFailedText[] = L"The fan curves could not be saved.";
const wchar_t kDigitalFace[] = L"DS-Digital";
const wchar_t kCaptionFace[] = L"Tahoma";
const wchar_t* const kSetCaptions[kCurveSetCount] = {L"Fan1 & Fan3", L"Fan2"};
const wchar_t kHelpText[] =
    L"Drag a point to move it. Double-click adds a point, right-click removes one.\n\n"
    L"Keys: Tab steps through the points, the arrows move the point (with Shift 5 at a time), Insert adds "
    L"one after it, Delete removes it. Ctrl+Tab switches the fan set. Enter saves, Esc discards.";
const wchar_t kFloorText[] = L"Below its dashed line a fan set runs at its minimum.";

enum : int {
    IDC_CURVE_PLOT = 100,
    IDC_CURVE_OUTER_SET = 101,
    IDC_CURVE_MIDDLE_SET = 102,
    IDC_CURVE_OUTER_HYSTERESIS = 103,
    IDC_CURVE_MIDDLE_HYSTERESIS = 104,
    IDC_CURVE_OUTER_DELAY = 105,
    IDC_CURVE_MIDDLE_DELAY = 106,
    IDC_CURVE_DEFAULT = 107,
};

// The layout, in client pixels.
constexpr int kWidth = 768;
constexpr int kHeight = 456;
constexpr int kBannerHeight = 44;
constexpr RECT kPlotPlace{14, 58, 556, 402};
constexpr int kColumns[kCurveSetCount] = {572, 666}; // left edges of the two sets' columns
constexpr int kColumnWidth = 88;
constexpr int kEntryWidth = 52;
constexpr int kSetButtonsTop = 76;
constexpr int kHysteresisTop = 136;
constexpr int kDelayTop = 194;
constexpr int kEntryHeight = 26;
constexpr int kButtonHeight = 28;
constexpr int kDefaultTop = 238;
constexpr int kBottomButtonsTop = 414;
// The edit control sits this far inside its painted frame; lower than centred, since the digital
// face's digits stand high in its line.
constexpr RECT kEntryInset{4, 6, 4, 2};

RECT Place(int x, int y, int nWidth, int nHeight) {
    return RECT{x, y, x + nWidth, y + nHeight};
}

RECT EntryFrame(int nSet, int nTop) {
    return Place(kColumns[nSet], nTop, kEntryWidth, kEntryHeight);
}

// The value a box asks for: its digits held to 0..nMaximum, or nCurrent when it is empty.
int EntryValue(const CWnd& entry, int nMaximum, int nCurrent) {
    const std::wstring strText = entry.GetWindowText();
    return strText.empty() ? nCurrent : std::clamp(ParseDecimal(strText), 0, nMaximum);
}

FontHandle MakeFont(const wchar_t* szFace, int nTenths, UINT nDpi, int nWeight) {
    LOGFONTW description{};
    description.lfHeight = PointFontHeight(nTenths, BandDpi(nDpi));
    description.lfWeight = nWeight;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = ANTIALIASED_QUALITY;
    std::wstring_view(szFace).copy(description.lfFaceName, LF_FACESIZE - 1);
    return FontHandle(::CreateFontIndirectW(&description));
}
} // namespace

bool CCurveEditor::Open(HWND hOwner, const CurveSet& curves, int nOuterMinimum, int nMiddleMinimum,
                        UINT nDpi) {
    if (IsOpen()) {
        if (::IsIconic(m_hWnd)) {
            ShowWindow(SW_RESTORE);
        }
        ::SetForegroundWindow(m_hWnd);
        return true;
    }
    if (!EnsureWindowClass(kEditorClass, 0)) {
        return false;
    }
    MakeFonts(nDpi);
    if (m_brEntry == nullptr) {
        m_brEntry.reset(::CreateSolidBrush(kCurveWell));
    }
    // Centred on the owner, inside the work area of the owner's monitor.
    RECT rcOwner{};
    if (hOwner == nullptr || !::GetWindowRect(hOwner, &rcOwner)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcOwner, 0);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromRect(&rcOwner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& rcWork = monitor.rcWork;
    const int x = std::clamp<int>((rcOwner.left + rcOwner.right - kWidth) / 2, rcWork.left,
                                  std::max<int>(rcWork.left, rcWork.right - kWidth));
    const int y = std::clamp<int>((rcOwner.top + rcOwner.bottom - kHeight) / 2, rcWork.top,
                                  std::max<int>(rcWork.top, rcWork.bottom - kHeight));
    const HWND hWnd =
        ::CreateWindowExW(0, kEditorClass, kEditorTitle, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, x, y,
                          kWidth, kHeight, hOwner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (hWnd == nullptr || !SubclassWindow(hWnd) || !m_canvas.Resize(kWidth, kHeight) || !CreateControls()) {
        if (hWnd != nullptr) {
            ::DestroyWindow(hWnd);
        }
        return false;
    }
    m_curves = curves;
    m_hFocus = nullptr;
    m_plot.SetPoints(kOuterSet, curves.m_outer.m_points);
    m_plot.SetPoints(kMiddleSet, curves.m_middle.m_points);
    m_plot.SetMinimum(kOuterSet, nOuterMinimum);
    m_plot.SetMinimum(kMiddleSet, nMiddleMinimum);
    ShowNumbers(kOuterSet);
    ShowNumbers(kMiddleSet);
    SelectSet(kOuterSet);
    ShowWindow(SW_SHOW);
    ::SetFocus(m_plot.GetSafeHwnd());
    return true;
}

void CCurveEditor::MakeFonts(UINT nDpi) {
    if (m_fontTitle != nullptr && m_nFontDpi == nDpi) {
        return;
    }
    const CurveEditorFontSizes sizes = CurveEditorFontSizesFor(nDpi);
    m_fontTitle = MakeFont(kCaptionFace, sizes.m_nTitle, nDpi, FW_BOLD);
    m_fontCaption = MakeFont(kCaptionFace, sizes.m_nCaption, nDpi, FW_BOLD);
    m_fontScale = MakeFont(kCaptionFace, sizes.m_nScale, nDpi, FW_NORMAL);
    m_fontValue = MakeFont(kDigitalFace, sizes.m_nValue, nDpi, FW_NORMAL);
    m_nFontDpi = nDpi;
}

bool CCurveEditor::CreateControls() {
    // Creation order is the tab order: plot, set buttons, boxes row by row, Default, OK, Cancel.
    bool bMade = m_plot.Create(m_hWnd, kPlotPlace, IDC_CURVE_PLOT,
                               CCurvePlot::Fonts{m_fontScale.get(), m_fontCaption.get(), m_fontValue.get()});
    for (int nSet = 0; nSet < kCurveSetCount; ++nSet) {
        bMade = bMade && m_btnSets[nSet].Create(
                             m_hWnd, Place(kColumns[nSet], kSetButtonsTop, kColumnWidth, kButtonHeight),
                             IDC_CURVE_OUTER_SET + nSet, kSetCaptions[nSet], m_fontCaption.get());
    }
    const struct {
        CEntryBox* m_pEntries;
        int m_nTop;
        int m_nFirstId;
        int m_nDigits;
    } rows[] = {
        {m_editHysteresis, kHysteresisTop, IDC_CURVE_OUTER_HYSTERESIS, 2},
        {m_editDelay, kDelayTop, IDC_CURVE_OUTER_DELAY, 3},
    };
    for (const auto& row : rows) {
        for (int nSet = 0; nSet < kCurveSetCount && bMade; ++nSet) {
            const RECT rcFrame = EntryFrame(nSet, row.m_nTop);
            const RECT rc{rcFrame.left + kEntryInset.left, rcFrame.top + kEntryInset.top,
                          rcFrame.right - kEntryInset.right, rcFrame.bottom - kEntryInset.bottom};
            const HWND hEntry =
                ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_NUMBER,
                                  rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.m_nFirstId + nSet)),
                                  ::GetModuleHandleW(nullptr), nullptr);
            bMade = hEntry != nullptr && row.m_pEntries[nSet].SubclassWindow(hEntry);
            if (bMade) {
                row.m_pEntries[nSet].SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontValue.get()));
                row.m_pEntries[nSet].SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(row.m_nDigits));
            }
        }
    }
    const int nBoth = kColumns[1] + kColumnWidth - kColumns[0];
    return bMade &&
           m_btnDefault.Create(m_hWnd, Place(kColumns[0], kDefaultTop, nBoth, kButtonHeight),
                               IDC_CURVE_DEFAULT, L"Default curve", m_fontCaption.get()) &&
           m_btnOK.Create(m_hWnd, Place(kColumns[0], kBottomButtonsTop, kColumnWidth, kButtonHeight), IDOK,
                          L"OK", m_fontCaption.get()) &&
           m_btnCancel.Create(m_hWnd, Place(kColumns[1], kBottomButtonsTop, kColumnWidth, kButtonHeight),
                              IDCANCEL, L"Cancel", m_fontCaption.get());
}

void CCurveEditor::ShowLive(const CCurveHistory& outer, const CCurveHistory& middle) {
    if (IsOpen()) {
        m_plot.ShowHistories(outer, middle);
    }
}

BOOL CCurveEditor::PreTranslateMessage(MSG* pMsg) {
    if (!IsOpen() || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))) {
        return FALSE;
    }
    // Ctrl+Tab switches the set, as it switches pages in a tabbed dialog.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0) {
        SelectSet(kCurveSetCount - 1 - m_plot.SelectedSet());
        return TRUE;
    }
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

void CCurveEditor::SelectSet(int nSet) {
    m_plot.SelectSet(nSet);
    for (int n = 0; n < kCurveSetCount; ++n) {
        m_btnSets[n].SetChoice(n == nSet ? std::optional<COLORREF>(kCurveSetColours[n]) : std::nullopt);
    }
}

void CCurveEditor::ShowNumbers(int nSet) {
    const FanCurve& curve = nSet == kOuterSet ? m_curves.m_outer : m_curves.m_middle;
    m_editHysteresis[nSet].ShowText(std::to_wstring(curve.m_nHysteresis));
    m_editDelay[nSet].ShowText(std::to_wstring(curve.m_nDelaySeconds));
}

void CCurveEditor::TakeNumbers() {
    for (int nSet = 0; nSet < kCurveSetCount; ++nSet) {
        FanCurve& curve = nSet == kOuterSet ? m_curves.m_outer : m_curves.m_middle;
        curve.m_nHysteresis = EntryValue(m_editHysteresis[nSet], kCurveMaxHysteresis, curve.m_nHysteresis);
        curve.m_nDelaySeconds = EntryValue(m_editDelay[nSet], kCurveMaxDelaySeconds, curve.m_nDelaySeconds);
        ShowNumbers(nSet);
    }
}

const WndEventTable* CCurveEditor::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CCurveEditor::OnNcHitTest>(WM_NCHITTEST),
        OnMessage<&CCurveEditor::OnActivate>(WM_ACTIVATE),
        OnMessage<&CCurveEditor::OnClose>(WM_CLOSE),
        OnMessage<&CCurveEditor::OnDrawItem>(WM_DRAWITEM),
        OnMessage<&CCurveEditor::OnGetDefId>(DM_GETDEFID),
        OnCtlColorEvent<&CCurveEditor::OnCtlColor>(),
        OnCommand<&CCurveEditor::OnOK>(IDOK),
        OnCommand<&CCurveEditor::OnCancel>(IDCANCEL),
        OnCommand<&CCurveEditor::OnDefault>(IDC_CURVE_DEFAULT),
        OnCommand<&CCurveEditor::OnOuterSet>(IDC_CURVE_OUTER_SET),
        OnCommand<&CCurveEditor::OnMiddleSet>(IDC_CURVE_MIDDLE_SET),
    };
    static const WndEventTable table{CCanvasWnd::GetEventTable(), events};
    return &table;
}

LRESULT CCurveEditor::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A box that loses the focus shows the value it stands for; notifications have no table rows.
    if (message == WM_COMMAND && HIWORD(wParam) == EN_KILLFOCUS) {
        TakeNumbers();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CCurveEditor::OnNcHitTest(WPARAM, LPARAM lParam) {
    // The banner moves the window, as a caption would.
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(m_hWnd, &point);
    const LRESULT nHit = Default();
    return nHit == HTCLIENT && point.y < kBannerHeight ? HTCAPTION : nHit;
}

LRESULT CCurveEditor::OnActivate(WPARAM wParam, LPARAM) {
    // The focus leaves with the window and comes back to the same control, as in a dialog.
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND hFocus = ::GetFocus();
        m_hFocus = ::IsChild(m_hWnd, hFocus) ? hFocus : nullptr;
    } else {
        ::SetFocus(m_hFocus != nullptr && ::IsWindow(m_hFocus) ? m_hFocus : m_plot.GetSafeHwnd());
    }
    return 0;
}

LRESULT CCurveEditor::OnClose(WPARAM, LPARAM) {
    OnCancel();
    return 0;
}

LRESULT CCurveEditor::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    const auto* pItem = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    return ::SendMessageW(pItem->hwndItem, WM_REFLECT_DRAWITEM, wParam, lParam);
}

LRESULT CCurveEditor::OnGetDefId(WPARAM, LPARAM) {
    // Enter presses the button that has the focus, else OK.
    const HWND hFocus = ::GetFocus();
    const bool bButton =
        ::IsChild(m_hWnd, hFocus) && (::SendMessageW(hFocus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON);
    return MAKELRESULT(bButton ? ::GetDlgCtrlID(hFocus) : IDOK, DC_HASDEFID);
}

HBRUSH CCurveEditor::OnCtlColor(HDC dc, HWND, UINT) {
    ::SetTextColor(dc, kCurveAmber);
    ::SetBkColor(dc, kCurveWell);
    return m_brEntry.get();
}

void CCurveEditor::OnOK() {
    TakeNumbers();
    CurveSet curves = m_curves;
    curves.m_outer.m_points = m_plot.Points(kOuterSet);
    curves.m_middle.m_points = m_plot.Points(kMiddleSet);
    if (!SaveCurves(curves)) {
        ::MessageBoxW(m_hWnd, kSaveFailedText, L"Ventiq", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    ::DestroyWindow(m_hWnd);
    if (hOwner != nullptr) {
        ::PostMessageW(hOwner, WM_CURVES_SAVED, 0, 0);
    }
}

void CCurveEditor::OnCancel() {
    ::DestroyWindow(m_hWnd);
}

void CCurveEditor::OnDefault() {
    const int nSet = m_plot.SelectedSet();
    const FanCurve curve = nSet == kOuterSet ? DefaultOuterCurve() : DefaultMiddleCurve();
    (nSet == kOuterSet ? m_curves.m_outer : m_curves.m_middle) = curve;
    m_plot.SetPoints(nSet, curve.m_points);
    ShowNumbers(nSet);
}

void CCurveEditor::OnOuterSet() {
    SelectSet(kOuterSet);
}

void CCurveEditor::OnMiddleSet() {
    SelectSet(kMiddleSet);
}

void CCurveEditor::Draw() {
    m_canvas.ResetClip();
    m_canvas.Fill(RECT{0, 0, kWidth, kHeight}, kCurveRim);
    m_canvas.Fill(RECT{1, 1, kWidth - 1, kHeight - 1}, kCurveBody);

    // The banner, as on the card: brand, product, what this window is, and the accent marks.
    m_canvas.FillDown(RECT{1, 1, kWidth - 1, kBannerHeight}, kCurveBannerTop, kCurveBannerBottom);
    m_canvas.Fill(RECT{1, kBannerHeight, kWidth - 1, kBannerHeight + 1}, kCurveRim);
    m_canvas.RoundRect(40, kBannerHeight + 1, 250, kBannerHeight + 4, 1, kCurveAccent);
    m_canvas.RoundRect(kWidth - 250, kBannerHeight + 1, kWidth - 40, kBannerHeight + 4, 1, kCurveAccent);
    const HDC dc = m_canvas.GetDC();
    ::SetTextCharacterExtra(dc, 4);
    m_canvas.Text(L"VALDRO", RECT{24, 0, 200, kBannerHeight}, m_fontTitle.get(), RGB(236, 238, 242),
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    ::SetTextCharacterExtra(dc, 1);
    m_canvas.Text(L"FAN CURVES", RECT{240, 0, 500, kBannerHeight}, m_fontScale.get(), kCurveDimText,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    ::SetTextCharacterExtra(dc, 0);
    m_canvas.Line(140, 32, 146, 12, 4, kCurveAccent);
    m_canvas.Text(L"Ventiq", RECT{156, 0, 240, kBannerHeight}, m_fontTitle.get(), kCurveAmber,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    for (int i = 0; i < 3; ++i) {
        const int x = kWidth - 72 + i * 14;
        m_canvas.Line(x, 32, x + 7, 13, 5, MixColour(kCurveAccent, kCurveBannerBottom, 0.15 * i));
    }

    // Captions over the boxes, the boxes' frames and their units.
    const int nRight = kColumns[1] + kColumnWidth;
    ::SetTextCharacterExtra(dc, 1);
    const struct {
        const wchar_t* m_szCaption;
        int m_nTop;
    } captions[] = {
        {L"FAN SET", kSetButtonsTop}, {L"HYSTERESIS", kHysteresisTop}, {L"SPIN-DOWN DELAY", kDelayTop}};
    for (const auto& caption : captions) {
        m_canvas.Text(caption.m_szCaption, RECT{kColumns[0], caption.m_nTop - 19, nRight, caption.m_nTop - 4},
                      m_fontScale.get(), kCurveDimText, DT_LEFT | DT_BOTTOM | DT_SINGLELINE);
    }
    ::SetTextCharacterExtra(dc, 0);
    for (int nSet = 0; nSet < kCurveSetCount; ++nSet) {
        for (const auto& [nTop, szUnit] :
             {std::pair{kHysteresisTop, L"\u00b0C"}, std::pair{kDelayTop, L"s"}}) {
            const RECT rc = EntryFrame(nSet, nTop);
            m_canvas.RoundRect(rc.left, rc.top, rc.right, rc.bottom, 3, kCurveRecessRim);
            m_canvas.RoundRect(rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1, 2, kCurveWell);
            m_canvas.Text(szUnit, RECT{rc.right + 6, rc.top, kColumns[nSet] + kColumnWidth, rc.bottom},
                          m_fontCaption.get(), kCurveCaption, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        }
    }
    m_canvas.Text(kHelpText, RECT{kColumns[0], kDefaultTop + kButtonHeight + 18, nRight, kPlotPlace.bottom},
                  m_fontScale.get(), kCurveDimText, DT_LEFT | DT_TOP | DT_WORDBREAK);
    m_canvas.Text(
        kFloorText,
        RECT{kPlotPlace.left + 48, kBottomButtonsTop, kPlotPlace.right, kBottomButtonsTop + kButtonHeight},
        m_fontScale.get(), kCurveDimText, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}
