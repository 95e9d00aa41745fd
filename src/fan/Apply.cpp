// Manual fan control: a dragged slider marks its fan set as edited, and APPLY sends both fan sets to
// the hardware, with the protection rule for a hot PWM module on AMD boards.
#include "app/VentiqDlg.h"

#include "hw/AmdFanHardware.h"
#include "fan/FanControls.h"
#include "fan/FanValues.h"
#include "fan/UlpsKeys.h"
#include "hw/DutyConversion.h"

namespace {
const wchar_t kProtectionText[] =
    L"Based on the protection mechanism, the fan speed of the middle fan can\u2019t be turned down manually "
    L"while the temperature of the PWM module is standing high.";
const wchar_t kUnreadableTemperatureText[] =
    L"Based on the protection mechanism, the fan speed of the middle fan can\u2019t be set manually "
    L"while the temperature of the PWM module cannot be read.";
// The display device needs this long after its restart before the library sees the adapters again.
constexpr DWORD kAfterRestartMs = 2000;
constexpr DWORD kAfterReinitMs = 500;
constexpr DWORD kAfterProtectionMs = 500;
} // namespace

LRESULT CVentiqDlg::OnSliderNotify(WPARAM wParam, LPARAM) {
    if (wParam == IDC_SLIDER_OUTER) {
        if (m_outerMode == FanMode::Manual && !m_bEditing1) {
            LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::OuterFans));
            m_bEditing1 = true;
            m_bEditing2 = false;
            ShowApply(m_btnApply, true);
        }
        // A value the user is typing is not overwritten until Enter takes it.
        if (!m_bTyping1) {
            m_editOuter.SetWindowText(std::to_wstring(m_sliderOuter.GetPosition()));
        }
        UpdateData();
    } else if (wParam == IDC_SLIDER_MIDDLE) {
        if (m_middleMode == FanMode::Manual && !m_bEditing2) {
            LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::MiddleFan));
            m_bEditing1 = false;
            m_bEditing2 = true;
            ShowApply(m_btnApply, true);
        }
        if (!m_bTyping2) {
            m_editMiddle.SetWindowText(std::to_wstring(m_sliderMiddle.GetPosition()));
        }
        UpdateData();
    }
    return 0;
}

void CVentiqDlg::OnApply() {
    // Between the system's question whether the session may end and its answer, the fans stay back.
    if (m_pFanOwner == nullptr || m_pFanOwner->IsSessionEnding()) {
        return;
    }
    LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::None));
    m_bEditing1 = false;
    m_bEditing2 = false;
    if (m_pAmdHardware != nullptr && m_bUlpsEnabled) {
        // With ULPS on, the idle CrossFire card sleeps and misses fan settings: switch it off once,
        // restart the device and find the adapters again in a new session.
        m_bUlpsEnabled = false;
        WriteUlpsState(kDisplayClassKey, kAdapterMarkerValue, 0);
        RestartDisplayDevice();
        ::Sleep(kAfterRestartMs);
        m_pAmdHardware->Reconnect();
        // The guardian's own session and adapters date from before the restart.
        m_pFanOwner->Rearm();
        ::Sleep(kAfterReinitMs);
    }
    // The boxes can hold any three digits when Enter was not pressed; APPLY takes them as Enter would.
    ApplyOuterFans(EntryPercent(m_editOuter.GetWindowText()));
    ApplyMiddleFan(EntryPercent(m_editMiddle.GetWindowText()));
    ShowApply(m_btnApply, false);
    ShowReset(m_btnReset, m_outerMode != FanMode::Automatic || m_middleMode != FanMode::Automatic);
    RememberSettings();
}

void CVentiqDlg::ApplyOuterFans(int percent) {
    m_outerApplied.m_mode = m_outerMode;
    switch (m_outerMode) {
    case FanMode::Automatic:
        m_pFanOwner->SetOuterDefault();
        break;
    case FanMode::Manual:
        m_outerApplied.m_nPercent = percent;
        m_pFanOwner->SetOuterPercent(percent);
        break;
    case FanMode::Curve:
        StartOuterCurve();
        break;
    }
}

CVentiqDlg::Protection CVentiqDlg::CheckProtection() {
    if (!IsAmd()) {
        return Protection::Clear;
    }
    const std::optional<BYTE> temperature = m_pHardware->ReadChip(kChipRegPwmTemperature);
    if (!temperature) {
        return Protection::Unreadable;
    }
    return *temperature >= PROTECTION_TEMP ? Protection::Hot : Protection::Clear;
}

void CVentiqDlg::ApplyMiddleFan(int percent, bool quiet) {
    if (m_middleMode == FanMode::Automatic) {
        m_middleApplied.m_mode = FanMode::Automatic;
        m_pFanOwner->SetMiddleDefault();
        return;
    }
    // A chip that is not in use shows no duty: a fixed one written now would pin the middle fan where
    // nobody sees it, however hot the PWM module gets.
    if (!m_bControllerPresent) {
        return;
    }
    // A curve keeps the protection rule itself, without a message: it yields while the module is hot.
    if (m_middleMode == FanMode::Curve) {
        m_middleApplied.m_mode = FanMode::Curve;
        StartMiddleCurve();
        return;
    }
    // A hot PWM module on AMD boards keeps the chip's own curve, whichever way the speed would go, and
    // so does one whose temperature cannot be read.
    const Protection protection = CheckProtection();
    if (protection != Protection::Clear) {
        const wchar_t* text = protection == Protection::Hot ? kProtectionText : kUnreadableTemperatureText;
        if (quiet) {
            Notify(text);
        } else {
            ShowMessage(text);
        }
        SetMiddleMode(FanMode::Automatic);
        m_middleApplied.m_mode = FanMode::Automatic;
        ::Sleep(kAfterProtectionMs);
        m_pFanOwner->SetMiddleDefault();
        return;
    }
    m_middleApplied = FanSetting{FanMode::Manual, percent};
    m_pFanOwner->SetMiddleDuty(PercentToDuty(percent));
}
