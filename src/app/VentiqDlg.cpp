// CVentiqDlg: construction, control binding, the event table and the start-up sequence.
#include "app/VentiqDlg.h"

#include "app/SingleInstance.h"
#include "app/UserSettings.h"
#include "cards/CardDetect.h"
#include "cards/CardListFile.h"
#include "fan/UlpsKeys.h"
#include "framework/WinApp.h"
#include "hw/AmdFanHardware.h"
#include "hw/NvidiaFanHardware.h"
#include "res/resource.h"

namespace {
const wchar_t kDataLostText[] = L"Application data lost, please reinstall again.";
const wchar_t kNotSupportedText[] = L"The Video Card does not support this application.";
const wchar_t kAmdDriverText[] = L"Please install the latest AMD Catalyst\u2122 drivers.";
const wchar_t kNvidiaDriverText[] = L"Please install the latest NVIDIA GeForce drivers.";
} // namespace

CVentiqDlg::CVentiqDlg()
    : CBitmapDialog(IDD_VENTIQ_DIALOG),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VENTIQ))) {}

CVentiqDlg::~CVentiqDlg() {
    if (m_brEditBk != nullptr) {
        ::DeleteObject(m_brEditBk);
    }
}

void CVentiqDlg::DoDataExchange(CDataExchange& exchange) {
    CBitmapDialog::DoDataExchange(exchange);
    exchange.Control(IDC_MINI, m_btnMini);
    exchange.Control(IDC_CLOSE, m_btnClose);
    exchange.Control(IDC_RESET, m_btnReset);
    exchange.Control(IDC_APPLY, m_btnApply);
    exchange.Control(IDC_SLIDER_OUTER, m_sliderOuter);
    exchange.Control(IDC_SLIDER_MIDDLE, m_sliderMiddle);
    exchange.Control(IDC_EDIT_OUTER, m_editOuter);
    exchange.Control(IDC_EDIT_MIDDLE, m_editMiddle);
    exchange.Control(IDC_GPU_TEMP, m_lblGpuTemp);
    exchange.Control(IDC_PWM_TEMP, m_lblPwmTemp);
    exchange.Control(IDC_ZONE1_SPEED, m_lblZone1Speed);
    exchange.Control(IDC_ZONE3_SPEED, m_lblZone3Speed);
    exchange.Control(IDC_ZONE2_SPEED, m_lblZone2Speed);
    exchange.Control(IDC_AUTO1, m_btnAuto1);
    exchange.Control(IDC_AUTO2, m_btnAuto2);
    exchange.Control(IDC_GPU_UNIT, m_lblGpuUnit);
    exchange.Control(IDC_PWM_UNIT, m_lblPwmUnit);
    exchange.Control(IDC_FAN1_ZONE, m_fan1Zone);
    exchange.Control(IDC_FAN3_ZONE, m_fan3Zone);
    exchange.Control(IDC_FAN2_ZONE, m_fan2Zone);
}

const WndEventTable* CVentiqDlg::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CVentiqDlg::OnPaint>(WM_PAINT),
        OnMessage<&CVentiqDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        OnMessage<&CVentiqDlg::OnMove>(WM_MOVE),
        OnCtlColorEvent<&CVentiqDlg::OnCtlColor>(),
        OnTimerEvent<&CVentiqDlg::OnTimer>(),
        OnMessage<&CVentiqDlg::OnDestroy>(WM_DESTROY),
        OnMessage<&CVentiqDlg::OnEndSession>(WM_ENDSESSION),
        OnMessage<&CVentiqDlg::OnQueryEndSession>(WM_QUERYENDSESSION),
        OnMessage<&CVentiqDlg::OnPowerBroadcast>(WM_POWERBROADCAST),
        OnMessage<&CVentiqDlg::OnDisplayChange>(WM_DISPLAYCHANGE),
        OnCommand<&CVentiqDlg::OnShowCommand>(ID_TRAY_SHOW),
        OnCommand<&CVentiqDlg::OnShowCommand>(ID_TRAY_DBLCLK_SHOW),
        OnCommand<&CVentiqDlg::OnTrayClose>(ID_TRAY_CLOSE),
        OnCommand<&CVentiqDlg::OnMini>(IDC_MINI),
        OnCommand<&CVentiqDlg::OnCloseButton>(IDC_CLOSE),
        OnCommand<&CVentiqDlg::OnEnterValues>(IDOK),
        OnMessage<&CVentiqDlg::OnSliderNotify>(WM_SLIDER_POSCHANGING),
        // The end of a drag or a key move: the keyboard moves the thumb without any "changing" notice.
        OnMessage<&CVentiqDlg::OnSliderNotify>(WM_SLIDER_POSCHANGED),
        OnCommand<&CVentiqDlg::OnAuto1>(IDC_AUTO1),
        OnCommand<&CVentiqDlg::OnAuto2>(IDC_AUTO2),
        OnCommand<&CVentiqDlg::OnApply>(IDC_APPLY),
        OnCommand<&CVentiqDlg::OnReset>(IDC_RESET),
        OnMessage<&CVentiqDlg::OnShowRunningInstance>(ShowRunningInstanceMessage()),
        OnMessage<&CVentiqDlg::OnWindowPosChanging>(WM_WINDOWPOSCHANGING),
        OnMessage<&CVentiqDlg::OnInitMenuPopup>(WM_INITMENUPOPUP),
        OnCommand<&CVentiqDlg::OnStartWithWindows>(ID_TRAY_MENU_STARTUP),
        OnCommand<&CVentiqDlg::OnRestoreAtStart>(ID_TRAY_MENU_RESTORE),
        OnCommand<&CVentiqDlg::OnEditCurves>(ID_TRAY_EDIT_CURVES),
        OnMessage<&CVentiqDlg::OnContextMenu>(WM_CONTEXTMENU),
        OnCommand<&CVentiqDlg::OnOuterAutomatic>(ID_OUTER_AUTOMATIC),
        OnCommand<&CVentiqDlg::OnOuterManual>(ID_OUTER_MANUAL),
        OnCommand<&CVentiqDlg::OnOuterCurve>(ID_OUTER_CURVE),
        OnCommand<&CVentiqDlg::OnMiddleAutomatic>(ID_MIDDLE_AUTOMATIC),
        OnCommand<&CVentiqDlg::OnMiddleManual>(ID_MIDDLE_MANUAL),
        OnCommand<&CVentiqDlg::OnMiddleCurve>(ID_MIDDLE_CURVE),
        OnMessage<&CVentiqDlg::OnCurvesSaved>(WM_CURVES_SAVED),
    };
    static const WndEventTable table{CBitmapDialog::GetEventTable(), events};
    return &table;
}

BOOL CVentiqDlg::OnInitDialog() {
    CBitmapDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ::GetVersionExW(&version);
    m_bIsVista = version.dwMajorVersion == 6 && version.dwMinorVersion == 0;
    m_bIsWin7 = version.dwMajorVersion == 6 && version.dwMinorVersion == 1;
    m_bIsWin8 = version.dwMajorVersion == 6 && version.dwMinorVersion == 2;

    SetWindowText(L"Ventiq");

    if (!DetectCard()) {
        ClearControlsOnFailure();
        ShowMessage(m_bDataLost ? kDataLostText : kNotSupportedText);
        CDialog::OnOK();
        return TRUE;
    }

    m_bDataLost = false;
    if (!StartBackend()) {
        ClearControlsOnFailure();
        ShowMessage(IsAmd() ? kAmdDriverText : kNvidiaDriverText);
        CDialog::OnOK();
        return TRUE;
    }
    TakeFanControl();
    ReadSavedRegisters();
    // The last manual percentages are kept across runs, whatever the modes; a start that found a set
    // at a fixed speed takes that one instead.
    const RememberedFans remembered = ReadRememberedFans();
    m_outerApplied.m_nPercent = remembered.m_outer.m_nPercent;
    m_middleApplied.m_nPercent = remembered.m_middle.m_nPercent;
    m_bRestorePending = ReadRestoreAtStart();
    SetUpWindow();
    m_brEditBk = ::CreateSolidBrush(RGB(0, 0, 0));
    m_bTyping1 = false;
    m_bTyping2 = false;
    m_bEditing1 = false;
    m_bEditing2 = false;
    m_bClearEntry = false;
    ::SetTimer(m_hWnd, TIMER_READINGS, 1000, nullptr);
    ::SetTimer(m_hWnd, TIMER_ENTRY_SYNC, 300, nullptr);
    return TRUE;
}

void CVentiqDlg::OnTimer(UINT_PTR timerId) {
    if (timerId == TIMER_READINGS) {
        UpdateReadings();
        FollowReadings();
        if (m_bRestorePending) {
            m_bRestorePending = false;
            RestoreRememberedSettings();
        }
    } else if (timerId == TIMER_ENTRY_SYNC) {
        UpdateEntryText();
    } else if (timerId == TIMER_DRIVER_WAIT) {
        OnDriverWaitTimer();
    }
}

void CVentiqDlg::ClearControlsOnFailure() {
    for (CWnd* text : {static_cast<CWnd*>(&m_lblGpuUnit), static_cast<CWnd*>(&m_lblPwmUnit),
                       static_cast<CWnd*>(&m_lblGpuTemp), static_cast<CWnd*>(&m_lblPwmTemp),
                       static_cast<CWnd*>(&m_lblZone1Speed), static_cast<CWnd*>(&m_lblZone2Speed),
                       static_cast<CWnd*>(&m_lblZone3Speed), static_cast<CWnd*>(&m_editOuter),
                       static_cast<CWnd*>(&m_editMiddle)}) {
        text->SetWindowText(L"");
    }
    for (CWnd* control : {static_cast<CWnd*>(&m_btnReset), static_cast<CWnd*>(&m_btnApply),
                          static_cast<CWnd*>(&m_btnAuto1), static_cast<CWnd*>(&m_btnAuto2),
                          static_cast<CWnd*>(&m_editOuter), static_cast<CWnd*>(&m_editMiddle),
                          static_cast<CWnd*>(&m_sliderOuter), static_cast<CWnd*>(&m_sliderMiddle)}) {
        control->EnableWindow(FALSE);
    }
}

void CVentiqDlg::ShowMessage(const std::wstring& text) {
    AppMessageBox(m_hWnd, text);
}

bool CVentiqDlg::DetectCard() {
    m_nCardCount = 0;
    std::wstring pnpIds[4];
    m_sysInfo.GetVideoControllerIds(pnpIds);
    CardDetection found = DetectCards(pnpIds, ReadInstalledCardList());
    m_nCardCount = found.m_nCardCount;
    for (int i = 0; i < 4; ++i) {
        m_strVenId[i] = found.m_strVenId[i];
        m_strDevId[i] = found.m_strDevId[i];
        m_strSubSysId[i] = found.m_strSubSysId[i];
        m_strSubVenId[i] = found.m_strSubVenId[i];
    }
    m_strVendor = found.m_strVendor;
    m_pCardMatched = std::move(found.m_pCardMatched);
    m_pRows = std::move(found.m_pRows);
    m_nMatchedRow = found.m_nMatchedRow;
    m_bDataLost = found.m_bDataLost;
    return found.m_bFound;
}

int CVentiqDlg::RegisterDefault(int k) const {
    if (m_nMatchedRow < 0 || static_cast<size_t>(m_nMatchedRow) >= m_pRows.size()) {
        return 0;
    }
    return ParseDecimal(m_pRows[static_cast<size_t>(m_nMatchedRow)].m_strRegDefault[k]);
}

FanCards CVentiqDlg::DetectedFanCards() const {
    FanCards cards;
    cards.m_nCardCount = m_nCardCount;
    cards.m_pCardMatched = m_pCardMatched;
    for (int k = 0; k < 4; ++k) {
        cards.m_nRegisterDefaults[k] = RegisterDefault(k);
    }
    return cards;
}

void CVentiqDlg::TakeFanControl() {
    m_pFanOwner = std::make_unique<CFanOwner>(*m_pHardware, m_guardian);
    // Curves keep the sets' minimums, and on AMD boards the middle fan's protection rule.
    m_outerCurve = CCurveFollower(OuterMinimum(), std::nullopt);
    m_middleCurve = CCurveFollower(kMiddleFanMinimum, IsAmd() ? std::optional<int>(PROTECTION_TEMP) : std::nullopt);
    m_curves = LoadCurves();
    m_outerCurve.SetCurve(m_curves.m_outer);
    m_middleCurve.SetCurve(m_curves.m_middle);
}

bool CVentiqDlg::StartBackend() {
    if (IsAmd()) {
        std::unique_ptr<CAmdFanHardware> amd = CAmdFanHardware::Start(DetectedFanCards());
        if (amd == nullptr) {
            return false;
        }
        m_pAmdHardware = amd.get();
        m_pHardware = std::move(amd);
        m_bUlpsAtStart = false;
        m_bUlpsEnabled = false;
        if (m_pAmdHardware->IsCrossfireOn()) {
            ReadUlpsState(kDisplayClassKey, kAdapterMarkerValue);
        }
        return true;
    }
    if (IsNvidia()) {
        m_pHardware = CNvidiaFanHardware::Start(DetectedFanCards());
    }
    return m_pHardware != nullptr;
}
