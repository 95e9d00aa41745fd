// Curve mode: each set in Curve mode follows its temperature once a tick through the fans' owner, the
// fan sets' right-click menus choose a mode or open the curve editor, and the editor's saved curves
// are followed from the next tick.
#include "app/VentiqDlg.h"

#include "fan/FanControls.h"
#include "fan/FanValues.h"
#include "hw/DutyConversion.h"

#include <windowsx.h>

namespace {
const wchar_t kCurveProtectionText[] =
    L"The PWM module is hot: the middle fan runs on its automatic control until it has cooled down.";

// The fan set a control stands for in the right-click menu; none for the others.
enum class MenuFanSet { None, Outer, Middle };

MenuFanSet FanSetOfMenuControl(int id) {
    switch (id) {
    case IDC_AUTO1:
    case IDC_FAN1_ZONE:
    case IDC_FAN2_ZONE:
    case IDC_ZONE1_SPEED:
    case IDC_ZONE2_SPEED:
        return MenuFanSet::Outer;
    case IDC_AUTO2:
    case IDC_FAN3_ZONE:
    case IDC_ZONE3_SPEED:
        return MenuFanSet::Middle;
    default:
        return MenuFanSet::None;
    }
}

// The menu's first command of a set; its modes follow in the order of FanMode.
UINT FirstModeCommand(MenuFanSet set) {
    return set == MenuFanSet::Middle ? ID_MIDDLE_AUTOMATIC : ID_OUTER_AUTOMATIC;
}
} // namespace

void CVentiqDlg::FollowCurves() {
    m_outerHistory.Add({m_lastReadings.m_nGpuDegrees, m_lastReadings.m_nOuterPercent});
    m_middleHistory.Add({m_lastReadings.m_nPwmDegrees, m_lastReadings.m_nMiddlePercent});
    // While the settings wait to go back, the keeper writes; while the session ends, nobody does.
    if (m_pFanOwner != nullptr && !m_pFanOwner->IsSessionEnding() && !m_keeper.IsPending()) {
        const ULONGLONG now = ::GetTickCount64();
        if (m_outerApplied.m_mode == FanMode::Curve) {
            WriteOuterStep(m_outerCurve.Tick(m_lastReadings.m_nGpuDegrees, now));
        }
        if (m_middleApplied.m_mode == FanMode::Curve && m_bControllerPresent) {
            WriteMiddleStep(m_middleCurve.Tick(m_lastReadings.m_nPwmDegrees, now));
        }
    }
    m_curveEditor.ShowLive(m_outerHistory, m_middleHistory);
}

void CVentiqDlg::WriteOuterStep(const CurveStep& step) {
    if (step.m_kind == CurveStep::Kind::Write) {
        m_pFanOwner->SetOuterPercent(step.m_nPercent);
    } else if (step.m_kind == CurveStep::Kind::Yield) {
        m_pFanOwner->SetOuterDefault();
    }
    // The disabled slider and box show what the curve asks for.
    if (const std::optional<int> output = m_outerCurve.Output(); output && m_outerMode == FanMode::Curve) {
        UpdateDisabledSlider(m_sliderOuter, m_editOuter, *output, std::to_wstring(*output));
    }
}

void CVentiqDlg::WriteMiddleStep(const CurveStep& step) {
    if (step.m_kind == CurveStep::Kind::Write) {
        m_pFanOwner->SetMiddleDuty(PercentToDuty(step.m_nPercent));
    } else if (step.m_kind == CurveStep::Kind::Yield) {
        m_pFanOwner->SetMiddleDefault();
        if (step.m_reason == CurveYieldReason::Protection && !m_bProtectionNoted) {
            m_bProtectionNoted = true;
            Notify(kCurveProtectionText);
        }
    }
    if (const std::optional<int> output = m_middleCurve.Output(); output && m_middleMode == FanMode::Curve) {
        UpdateDisabledSlider(m_sliderMiddle, m_editMiddle, *output, std::to_wstring(*output));
    }
}

void CVentiqDlg::StartOuterCurve() {
    m_outerCurve.Restart();
    WriteOuterStep(m_outerCurve.Tick(m_pHardware->ReadGpuTemperature(), ::GetTickCount64()));
}

bool CVentiqDlg::StartMiddleCurve() {
    const std::optional<BYTE> temperature = m_pHardware->ReadChip(kChipRegPwmTemperature);
    m_middleCurve.Restart();
    // Without a reading the curve waits, as on any tick, and yields after a few.
    const std::optional<int> degrees = temperature ? std::optional<int>(*temperature) : std::nullopt;
    WriteMiddleStep(m_middleCurve.Tick(degrees, ::GetTickCount64()));
    return degrees.has_value();
}

void CVentiqDlg::OnEditCurves() {
    m_curveEditor.Open(m_hWnd, m_curves, OuterMinimum(), kMiddleFanMinimum, m_nAppliedDpi);
}

LRESULT CVentiqDlg::OnCurvesSaved(WPARAM, LPARAM) {
    m_curves = LoadCurves();
    m_outerCurve.SetCurve(m_curves.m_outer);
    m_middleCurve.SetCurve(m_curves.m_middle);
    return 0;
}

LRESULT CVentiqDlg::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    const HWND control = reinterpret_cast<HWND>(wParam);
    const MenuFanSet set = ::GetParent(control) == m_hWnd ? FanSetOfMenuControl(::GetDlgCtrlID(control))
                                                          : MenuFanSet::None;
    const bool middle = set == MenuFanSet::Middle;
    if (set == MenuFanSet::None || !CanDrive(middle)) {
        return Default();
    }
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (lParam == -1) {
        // From the keyboard: below the control that has the focus.
        RECT rc{};
        ::GetWindowRect(control, &rc);
        at = POINT{rc.left, rc.bottom};
    }
    const HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) {
        return 0;
    }
    const UINT first = FirstModeCommand(set);
    ::AppendMenuW(menu, MF_STRING, first, L"Automatic");
    ::AppendMenuW(menu, MF_STRING, first + 1, L"Manual");
    ::AppendMenuW(menu, MF_STRING, first + 2, L"Curve");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, ID_TRAY_EDIT_CURVES, L"Edit curves\u2026");
    const FanMode current = middle ? m_middleMode : m_outerMode;
    ::CheckMenuRadioItem(menu, first, first + 2, first + static_cast<UINT>(current), MF_BYCOMMAND);
    // The choice comes back as a command, as every menu's does.
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
    return 0;
}

bool CVentiqDlg::CanDrive(bool middle) const {
    // No fan control, or no chip for the middle fan: the set only shows readings.
    return m_pFanOwner != nullptr && (!middle || m_bControllerPresent);
}

void CVentiqDlg::ChooseMode(bool middle, FanMode mode) {
    if (!CanDrive(middle)) {
        return;
    }
    if (middle) {
        SetMiddleMode(mode);
    } else {
        SetOuterMode(mode);
    }
}
