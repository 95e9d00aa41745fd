// CVentiqDlg: the program's only window and its controller; it owns every piece of run-time state.
// Its member functions are spread over app/, fan/, driver/ and ui/ by subject; the hardware itself is
// reached through hw/.
#pragma once
#include "app/GuardianLink.h"
#include "cards/CardListParse.h"
#include "cards/SystemInfo.h"
#include "curve/CurveFollower.h"
#include "curve/CurveHistory.h"
#include "curve/CurveStore.h"
#include "fan/FanMode.h"
#include "fan/FanOwner.h"
#include "fan/SettingsKeeper.h"
#include "fan/TrayTip.h"
#include "hw/FanHardware.h"
#include "ui/BitmapDialog.h"
#include "ui/BitmapSlider.h"
#include "ui/CurveEditor.h"
#include "ui/EntryBox.h"
#include "ui/Label.h"
#include "ui/PointFont.h"
#include "ui/SkinButton.h"
#include "ui/TrayIcon.h"

#include <commctrl.h>

class CAmdFanHardware;

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Control ids of dialog template 102.
enum : int {
    IDC_MINI = 1000,
    IDC_CLOSE = 1001,
    IDC_GPU_TEMP = 1002,
    IDC_ZONE1_SPEED = 1003,
    IDC_ZONE2_SPEED = 1004,
    IDC_ZONE3_SPEED = 1005,
    IDC_PWM_TEMP = 1006,
    IDC_EDIT_OUTER = 1010,
    IDC_EDIT_MIDDLE = 1011,
    IDC_RESET = 1012,
    IDC_APPLY = 1013,
    IDC_SLIDER_OUTER = 1014,
    IDC_SLIDER_MIDDLE = 1015,
    IDC_GPU_UNIT = 1016,
    IDC_AUTO1 = 1017,
    IDC_AUTO2 = 1018,
    IDC_PWM_UNIT = 1019,
    IDC_FAN1_ZONE = 1021,
    IDC_FAN2_ZONE = 1022,
    IDC_FAN3_ZONE = 1023,
};

// Commands of the tray icon and its menu.
enum : UINT {
    ID_TRAY_DBLCLK_SHOW = 32768,
    ID_TRAY_SHOW = 32771,
    ID_TRAY_CLOSE = 32772,
    ID_TRAY_EDIT_CURVES = 32773,
};

// Commands of the fan sets' right-click menus (and "Edit curves…", as in the tray menu).
enum : UINT {
    ID_OUTER_AUTOMATIC = 32780,
    ID_OUTER_MANUAL = 32781,
    ID_OUTER_CURVE = 32782,
    ID_MIDDLE_AUTOMATIC = 32783,
    ID_MIDDLE_MANUAL = 32784,
    ID_MIDDLE_CURVE = 32785,
};

// Timers of the main window.
enum : UINT_PTR {
    TIMER_READINGS = 0,
    TIMER_ENTRY_SYNC = 1,
    TIMER_DRIVER_WAIT = 2,
};

// The PWM module temperature at which a manual middle fan is refused on AMD boards.
constexpr int PROTECTION_TEMP = 70;
// The middle fan's slider minimum, and its curve's floor.
constexpr int kMiddleFanMinimum = 30;

class CVentiqDlg : public CBitmapDialog {
public:
    CVentiqDlg();
    ~CVentiqDlg() override;

    // ---- app/: start-up and the event table ----
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    void OnTimer(UINT_PTR timerId);
    void ClearControlsOnFailure();
    // Shows one of the program's messages (OK, exclamation, application name as caption).
    void ShowMessage(const std::wstring& text);
    bool DetectCard();
    bool IsAmd() const { return m_strVendor == L"AMD"; }
    bool IsNvidia() const { return m_strVendor == L"NVIDIA"; }
    // The detected cards and their list row's register defaults, as the hardware addresses them.
    FanCards DetectedFanCards() const;
    int RegisterDefault(int k) const;
    // Opens the vendor's driver library and the CrossFire test; false when the driver does not come up.
    bool StartBackend();
    // From here on the program drives the fans: through their one owner, guarded while taken.
    void TakeFanControl();

    // ---- fan/: monitoring, Apply, Auto and Reset, shutdown ----
    void ReadSavedRegisters();
    void ReadInitialState();
    void UpdateReadings();
    // The readings of one tick into the controls; each control whose value changed is marked for
    // repainting, and the tick's one update paints them.
    void UpdateReadouts();
    void UpdateEntryText();
    void UpdateDisabledSlider(CBitmapSlider& slider, const CEntryBox& entry, int position,
                              const std::wstring& text);
    LRESULT OnSliderNotify(WPARAM wParam, LPARAM lParam);
    void OnApply();
    void OnAuto1();
    void OnAuto2();
    // A fan set's mode as the window shows it, waiting for APPLY: its button, slider and entry box.
    void SetOuterMode(FanMode mode);
    void SetMiddleMode(FanMode mode);
    // One fan set's controls (defined with the modes), shown in a mode.
    struct FanSetControls;
    void ShowSetMode(FanMode mode, const FanSetControls& set);
    void OnReset();
    void RestoreFanDefaults();
    void OnCloseButton();
    void OnTrayClose();
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    // The outer fans of every card: the driver's control when automatic, else the percentage.
    void ApplyOuterFans(int percent);
    // The middle fan of every card: the chip's curve when automatic, else the percentage as a fixed
    // duty (refused on a hot AMD board, with the protection's message, or quietly with a tray note).
    void ApplyMiddleFan(int percent, bool quiet = false);
    // On AMD boards a hot PWM module, or one whose temperature cannot be read, keeps the middle fan on
    // the chip's own curve.
    enum class Protection { Clear, Hot, Unreadable };
    Protection CheckProtection();
    // Power and display events: the user's settings put back once the driver answers again.
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);
    LRESULT OnDisplayChange(WPARAM wParam, LPARAM lParam);
    // Whether the vendor library answers calls now (one temperature read of the first card).
    bool DriverAnswers();
    // The hardware may have dropped the settings: they go back when the driver answers, probed every
    // half second for a few seconds by the driver-wait timer, then by the readings tick.
    void WaitForDriver(bool reconnect);
    void OnDriverWaitTimer();
    // Does what the keeper asks after a probe of the driver: reconnect, write, read back.
    void KeepSettings(bool driverAnswers);
    // The settings last applied, written again without any message box; false when the PWM module's
    // temperature the middle fan's protection needs cannot be read yet.
    bool WriteAppliedSettings();
    // Whether the hardware holds the settings last applied, as far as it can be read back.
    bool AppliedSettingsOnHardware();
    // Other cards answer after a driver restart: the fans go back to their defaults, said once.
    void OnCardsChanged();
    // The slider minimum of the outer fans: 26 % on NVIDIA boards, 30 % on AMD boards.
    int OuterMinimum() const;

    // ---- fan/: curves, the fan sets' menus and the remembered settings ----
    // Each set in Curve mode follows its temperature once a tick; every set's readings go into its
    // history for the curve editor.
    void FollowCurves();
    // A curve's step on the hardware, through the fans' owner: a percentage, or the set's default.
    void WriteOuterStep(const CurveStep& step);
    void WriteMiddleStep(const CurveStep& step);
    // Curve mode just applied or put back: the curve's target is written now; false when the PWM
    // module's temperature the middle fan follows could not be read yet.
    void StartOuterCurve();
    bool StartMiddleCurve();
    void OnEditCurves();
    LRESULT OnCurvesSaved(WPARAM wParam, LPARAM lParam);
    // A right-click on a fan set's Auto button, fan picture or speed readout: its modes and the editor.
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    // The menus' mode choices: pending until APPLY, as the Auto toggles are; none for a set that
    // cannot be driven.
    void ChooseMode(bool middle, FanMode mode);
    bool CanDrive(bool middle) const;
    void OnOuterAutomatic() { ChooseMode(false, FanMode::Automatic); }
    void OnOuterManual() { ChooseMode(false, FanMode::Manual); }
    void OnOuterCurve() { ChooseMode(false, FanMode::Curve); }
    void OnMiddleAutomatic() { ChooseMode(true, FanMode::Automatic); }
    void OnMiddleManual() { ChooseMode(true, FanMode::Manual); }
    void OnMiddleCurve() { ChooseMode(true, FanMode::Curve); }
    // What APPLY and RESET leave on the hardware, kept for the user's next start.
    void RememberSettings();
    // With "Restore my settings at start", once the first readings are in: the remembered modes
    // applied as APPLY applies them, a refusal told in the tray.
    void RestoreRememberedSettings();
    // A note from the tray icon (a balloon), for what happens while the window may be hidden.
    void Notify(const std::wstring& text);
    // After each readings tick: the settings kept, the guardian watched, the tray tip updated.
    void FollowReadings();
    // The close commands: restore, ULPS put back, the library session ended when asked, tray icon
    // removed, dialog ended.
    void CloseWithRestore(bool endAdlSession);

    // ---- driver/: ULPS switch and device restart ----
    BOOL ReadUlpsState(const std::wstring& keyPath, const std::wstring& matchName);
    BOOL WriteUlpsState(const std::wstring& keyPath, const std::wstring& matchName, DWORD value);
    void RestartDisplayDevice();

    // ---- ui/: layout, painting and input ----
    void SetUpWindow();
    void LoadDigitalFont();
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnEnterValues();
    void OnMini();
    void OnShowCommand();
    // Fonts OnCtlColor selects into the entry boxes and the unit labels, made once and kept.
    CPointFont m_entryFont{L"MS Shell Dlg"};
    CPointFont m_unitFont{L"MS Shell Dlg"};

    // ---- app/: when the window shows, and the tray menu's start-up items ----
    LRESULT OnShowRunningInstance(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    // Started with /tray: the window stays hidden until the user asks for it.
    bool m_bStayHidden = false;
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    void OnStartWithWindows();
    void OnRestoreAtStart();

    // ---- state (declaration order of the program's data model) ----
    HICON m_hIcon = nullptr;
    std::unique_ptr<CMyAppTrayIcon> m_pTrayIcon;
    // The guardian process that hands the fans back if this process is ended from outside; armed by
    // the fans' owner while they are taken.
    CGuardianLink m_guardian;
    RECT m_rcWindow{};
    HANDLE m_hDigitalFont = nullptr;
    HBRUSH m_brEditBk = nullptr;
    CSystemInfo m_sysInfo;
    std::vector<DListRow> m_pRows;
    int m_nMatchedRow = 0;
    bool m_bIsVista = false;
    bool m_bIsWin7 = false;
    bool m_bIsWin8 = false;
    bool m_bTyping1 = false;
    bool m_bTyping2 = false;
    bool m_bClearEntry = false;
    // Each fan set's mode as the window shows it; APPLY sends it.
    FanMode m_outerMode = FanMode::Automatic;
    FanMode m_middleMode = FanMode::Automatic;
    bool m_bEditing1 = false;
    bool m_bEditing2 = false;
    bool m_bControllerPresent = false;
    bool m_bDataLost = false;
    std::vector<BYTE> m_pCardMatched;
    std::wstring m_strZone3Percent;
    UINT m_nAppliedDpi = 0;
    bool m_bUlpsAtStart = false;
    bool m_bUlpsEnabled = false;
    std::wstring m_strVenId[4];
    std::wstring m_strDevId[4];
    std::wstring m_strSubSysId[4];
    std::wstring m_strSubVenId[4];
    // Registers 0x85..0x88 of the first card at start-up; empty where the read failed.
    std::optional<BYTE> m_nSavedRegs[4];
    int m_nCardCount = 0;
    std::wstring m_strVendor;
    // The fans through the vendor's driver: null until the back end is up. The AMD view of the same
    // object serves CrossFire and the ULPS switch, which only AMD drivers have.
    std::unique_ptr<CFanHardware> m_pHardware;
    CAmdFanHardware* m_pAmdHardware = nullptr;
    // The one owner of taking the fans and handing them back; null until the back end is up, which is
    // the program's fan control: without it the window only shows readings.
    std::unique_ptr<CFanOwner> m_pFanOwner;
    HWND m_ToolTip = nullptr;
    // What the last tick read, for the tray tip and the driver watch.
    CardReadings m_lastReadings;
    // What each fan set was last given by APPLY (or found at start-up): what a resume puts back.
    FanSetting m_outerApplied;
    FanSetting m_middleApplied;
    // Whether the settings last applied are on the hardware, after sleep and driver restarts.
    CSettingsKeeper m_keeper;
    // The curves of both sets, their laws, their recent readings and the editor.
    CurveSet m_curves;
    CCurveFollower m_outerCurve{30, std::nullopt};
    CCurveFollower m_middleCurve{30, std::nullopt};
    CCurveHistory m_outerHistory;
    CCurveHistory m_middleHistory;
    CCurveEditor m_curveEditor;
    // The tray has said once that a hot PWM module took the middle fan's curve over.
    bool m_bProtectionNoted = false;
    // The remembered settings are applied at the first readings tick.
    bool m_bRestorePending = false;
    int m_nDriverWaitTries = 0;
    // A resume was handled since the last suspend, so the second resume broadcast is not acted on.
    bool m_bResumeHandled = false;

    // Child controls, bound by DoDataExchange.
    CxSkinButton m_btnMini;
    CxSkinButton m_btnClose;
    CxSkinButton m_btnReset;
    CxSkinButton m_btnApply;
    CxSkinButton m_btnAuto1;
    CxSkinButton m_btnAuto2;
    CBitmapSlider m_sliderOuter;
    CBitmapSlider m_sliderMiddle;
    CLabel m_lblGpuTemp;
    CLabel m_lblPwmTemp;
    CLabel m_lblZone1Speed;
    CLabel m_lblZone3Speed;
    CLabel m_lblZone2Speed;
    CLabel m_lblGpuUnit;
    CLabel m_lblPwmUnit;
    CWnd m_fan1Zone;
    CWnd m_fan3Zone;
    CWnd m_fan2Zone;
    CEntryBox m_editOuter;
    CEntryBox m_editMiddle;

protected:
    const WndEventTable* GetEventTable() const override;
};
