// Main window layout: skin and outline, placement, tray icon, tooltips, every control's images and
// place, the DPI rule and the readout fonts.
#include "app/VentiqDlg.h"

#include "app/Registry.h"
#include "app/SingleInstance.h"
#include "res/resource.h"
#include "ui/MessageFilter.h"
#include "ui/ReadoutFonts.h"

namespace {
const wchar_t kDpiRefusedText[] =
    L"The DPI (Display Pixel Inch) size too large,\r\nits not support this application.";
const wchar_t kResetTip[] = L"Reset Fan speed to default setting.";
const wchar_t kApplyTip[] = L"Apply Fan speed setting.";
const wchar_t kDigitalFace[] = L"DS-Digital";
constexpr COLORREF kKeyColour = 0x000000FF;
constexpr COLORREF kReadoutAmber = 0x0000DEFF;

// A control's place on the skin, in client pixels.
struct ControlPlace {
    int m_nId;
    int m_nX;
    int m_nY;
    int m_nWidth;
    int m_nHeight;
};

constexpr ControlPlace kSliderOuterPlace{IDC_SLIDER_OUTER, 294, 303, 160, 25};
constexpr ControlPlace kSliderMiddlePlace{IDC_SLIDER_MIDDLE, 294, 358, 160, 25};
constexpr ControlPlace kEntryOuterPlace{IDC_EDIT_OUTER, 462, 305, 40, 21};
constexpr ControlPlace kEntryMiddlePlace{IDC_EDIT_MIDDLE, 462, 360, 40, 21};
constexpr ControlPlace kAuto1Place{IDC_AUTO1, 460, 282, 45, 21};
constexpr ControlPlace kAuto2Place{IDC_AUTO2, 460, 337, 45, 21};

// Readouts and the clickable fan areas, captions emptied and placed in this order.
constexpr ControlPlace kReadoutPlaces[] = {
    {IDC_GPU_UNIT, 180, 56, 25, 19},      {IDC_PWM_UNIT, 180, 77, 25, 19},
    {IDC_GPU_TEMP, 155, 52, 40, 25},      {IDC_PWM_TEMP, 155, 74, 40, 25},
    {IDC_ZONE1_SPEED, 100, 170, 120, 40}, {IDC_ZONE2_SPEED, 580, 170, 120, 40},
    {IDC_ZONE3_SPEED, 340, 147, 120, 40}, {IDC_FAN1_ZONE, 55, 113, 170, 170},
    {IDC_FAN2_ZONE, 536, 113, 170, 170},  {IDC_FAN3_ZONE, 312, 103, 140, 140},
};

void Place(const CWnd& control, const ControlPlace& place) {
    control.MoveWindow(place.m_nX, place.m_nY, place.m_nWidth, place.m_nHeight, TRUE);
}

// Width and height of a bitmap resource, read from its header without loading it; 0 x 0 for none.
SIZE BitmapResourceSize(UINT id) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC resource = id != 0 ? ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP) : nullptr;
    const auto* header =
        resource != nullptr && ::SizeofResource(module, resource) >= sizeof(BITMAPINFOHEADER)
            ? static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(module, resource)))
            : nullptr;
    if (header == nullptr || header->biSize < sizeof(BITMAPINFOHEADER)) {
        return SIZE{0, 0};
    }
    return SIZE{header->biWidth, header->biHeight < 0 ? -header->biHeight : header->biHeight};
}

// Tools are identified by the control's window, so the tip follows the button wherever it is.
void AddTip(HWND toolTip, HWND owner, HWND control, const wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}
} // namespace

void CVentiqDlg::SetUpWindow() {
    const UINT skinId = IsNvidia() ? IDB_NV_CARD : (IsAmd() ? IDB_AMD_CARD : 0);
    // The template's dialog units can come out smaller than the skin with this system's dialog
    // font; the window is then sized to the picture first, so the outline is cut once, whole.
    const SIZE skin = BitmapResourceSize(skinId);
    RECT rcNow{};
    ::GetWindowRect(m_hWnd, &rcNow);
    if (rcNow.right - rcNow.left < skin.cx || rcNow.bottom - rcNow.top < skin.cy) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, skin.cx, skin.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    m_bShapeFromBitmap = TRUE;
    m_crKey = kKeyColour;
    // Loading the skin cuts the outline; without one the window keeps its whole rectangle.
    if (skinId == 0 || !LoadBackground(skinId)) {
        BuildWindowRegion();
    }
    m_bTransparentStatics = TRUE;
    m_bDragAnywhere = TRUE;

    LoadDigitalFont();

    m_pTrayIcon = std::make_unique<CMyAppTrayIcon>();
    m_pTrayIcon->m_bShowOnDblClk = TRUE;
    HICON trayIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VENTIQ));
    m_pTrayIcon->AddIcon(trayIcon);
    // Hidden in the tray only with an icon there to bring the window back.
    if (!m_pTrayIcon->ShowIcon()) {
        m_bStayHidden = false;
    }
    // A second start asks this window to show itself, as the shell's tray messages do.
    AllowFromLowerIntegrity(FindMessageFilterFunctions(), m_hWnd, ShowRunningInstanceMessage());

    // The tooltip window belongs to the dialog and is destroyed with it.
    m_ToolTip =
        ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_ToolTip != nullptr) {
        AddTip(m_ToolTip, m_hWnd, m_btnReset.GetSafeHwnd(), kResetTip);
        AddTip(m_ToolTip, m_hWnd, m_btnApply.GetSafeHwnd(), kApplyTip);
        ::SendMessageW(m_ToolTip, TTM_ACTIVATE, TRUE, 0);
    }

    const struct {
        CxSkinButton& m_button;
        UINT m_nImages[4];
        ControlPlace m_place;
    } fixedButtons[] = {
        {m_btnMini, {IDB_MINI, IDB_MINI_DOWN, IDB_MINI_OVER, IDB_MINI}, {IDC_MINI, 567, 8, 61, 26}},
        {m_btnClose, {IDB_CLOSE, IDB_CLOSE_DOWN, IDB_CLOSE_OVER, IDB_CLOSE}, {IDC_CLOSE, 629, 8, 61, 26}},
        {m_btnReset,
         {IDB_RESET_DARK, IDB_RESET_LIT, IDB_RESET_OVER, IDB_RESET_DARK},
         {IDC_RESET, 81, 319, 120, 25}},
        {m_btnApply,
         {IDB_APPLY_DARK, IDB_APPLY_LIT, IDB_APPLY_OVER, IDB_APPLY_DARK},
         {IDC_APPLY, 563, 319, 120, 25}},
    };
    for (const auto& button : fixedButtons) {
        button.m_button.SetWindowText(L"");
        button.m_button.SetSkinImages(button.m_nImages[0], button.m_nImages[1], button.m_nImages[2],
                                      button.m_nImages[3]);
        Place(button.m_button, button.m_place);
    }

    // The sliders get their images first; the first readings then give their positions and limits,
    // each fan set its mode, and the entry boxes their texts.
    m_sliderOuter.SetChannelImages(IDB_SLIDER1_CHANNEL, IDB_SLIDER1_CHANNEL_LIT);
    m_sliderOuter.SetThumbImages();
    m_sliderMiddle.SetChannelImages(IDB_SLIDER2_CHANNEL, IDB_SLIDER2_CHANNEL_LIT);
    m_sliderMiddle.SetThumbImages();
    ReadInitialState();

    m_sliderOuter.SetSideMargins(0, 0);
    Place(m_sliderOuter, kSliderOuterPlace);
    m_btnAuto1.SetWindowText(L"");
    Place(m_btnAuto1, kAuto1Place);
    m_sliderMiddle.SetSideMargins(0, 0);
    Place(m_sliderMiddle, kSliderMiddlePlace);
    Place(m_editOuter, kEntryOuterPlace);
    Place(m_editMiddle, kEntryMiddlePlace);
    m_btnAuto2.SetWindowText(L"");
    Place(m_btnAuto2, kAuto2Place);

    for (const ControlPlace& place : kReadoutPlaces) {
        const HWND control = GetDlgItem(place.m_nId);
        ::SetWindowTextW(control, L"");
        ::MoveWindow(control, place.m_nX, place.m_nY, place.m_nWidth, place.m_nHeight, TRUE);
    }

    // Shown once dressed: placing and dressing a visible window would repaint it step by step.
    // The 800-pixel skin is centred on the space a maximised window gets; its top sits 188 pixels
    // above the middle of that space.
    ::GetWindowRect(m_hWnd, &m_rcWindow);
    const int halfWidth = ::GetSystemMetrics(SM_CXMAXIMIZED) / 2;
    const int halfHeight = ::GetSystemMetrics(SM_CYMAXIMIZED) / 2;
    const int x = halfWidth - 400;
    const int y = static_cast<int>(halfHeight - 187.5);
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);

    DWORD dpiScaling = 0;
    if (m_bIsVista) {
        dpiScaling =
            RegReadDword(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\DWM", L"UseDpiScaling", 0);
    } else if (m_bIsWin7 || m_bIsWin8) {
        dpiScaling =
            RegReadDword(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\DWM", L"UseDpiScaling", 0);
    }
    m_nAppliedDpi =
        RegReadDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics", L"AppliedDPI", 0);
    const bool intel = IsIntelProcessor(m_sysInfo.GetCpuBrand());
    if (IsDpiRefused(m_nAppliedDpi, intel, dpiScaling)) {
        for (CWnd* input : {static_cast<CWnd*>(&m_btnReset), static_cast<CWnd*>(&m_btnApply),
                            static_cast<CWnd*>(&m_sliderOuter), static_cast<CWnd*>(&m_sliderMiddle),
                            static_cast<CWnd*>(&m_editOuter), static_cast<CWnd*>(&m_editMiddle),
                            static_cast<CWnd*>(&m_btnAuto1), static_cast<CWnd*>(&m_btnAuto2)}) {
            input->EnableWindow(FALSE);
        }
        ShowMessage(kDpiRefusedText);
        OnOK();
    }

    const ReadoutPointSizes points = ReadoutPointSizesFor(m_nAppliedDpi, intel, dpiScaling);
    const struct {
        CLabel& m_label;
        int m_nPoints;
    } readouts[] = {
        {m_lblGpuUnit, points.m_nUnit},        {m_lblPwmUnit, points.m_nUnit},
        {m_lblGpuTemp, points.m_nTemperature}, {m_lblPwmTemp, points.m_nTemperature},
        {m_lblZone1Speed, points.m_nSpeed},    {m_lblZone2Speed, points.m_nSpeed},
        {m_lblZone3Speed, points.m_nSpeed},
    };
    for (const auto& readout : readouts) {
        readout.m_label.SetFaceName(kDigitalFace, 0)
            .SetPointSizeAt(readout.m_nPoints, points.m_nDpi)
            .SetForeColour(kReadoutAmber);
    }
}

void CVentiqDlg::LoadDigitalFont() {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_DIGITAL_FONT), L"BINARY");
    if (resource == nullptr) {
        return;
    }
    void* bytes = ::LockResource(::LoadResource(module, resource));
    if (bytes == nullptr) {
        return;
    }
    // A private font of the process: the readouts find the face without installing it for everyone.
    DWORD fonts = 0;
    m_hDigitalFont = ::AddFontMemResourceEx(bytes, ::SizeofResource(module, resource), nullptr, &fonts);
}
