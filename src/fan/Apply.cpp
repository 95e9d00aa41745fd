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
        if (!m_bAuto1 && !m_bEditing1) {
            LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::OuterFans));
            m_bEditing1 = true;
            m_bEditing2 = false;
            ShowApply(m_btnApply, true);
        }
        m_editOuter.SetWindowText(std::to_wstring(m_sliderOuter.GetPosition()));
        UpdateData();
    } else if (wParam == IDC_SLIDER_MIDDLE) {
        if (!m_bAuto2 && !m_bEditing2) {
            LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::MiddleFan));
            m_bEditing1 = false;
            m_bEditing2 = true;
            ShowApply(m_btnApply, true);
        }
        m_editMiddle.SetWindowText(std::to_wstring(m_sliderMiddle.GetPosition()));
        UpdateData();
    }
    return 0;
}

void CVentiqDlg::OnApply() {
    LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::None));
    m_bEditing1 = false;
    m_bEditing2 = false;
    if (m_pAmdHardware != nullptr && m_bUlpsEnabled) {
        // With ULPS on, the idle CrossFire card sleeps and misses fan settings: switch it off once,
        // restart the device and find the adapters again.
        m_bUlpsEnabled = false;
        WriteUlpsState(kDisplayClassKey, kAdapterMarkerValue, 0);
        RestartDisplayDevice();
        ::Sleep(kAfterRestartMs);
        m_pAmdHardware->FindAdaptersAgain();
        // The guardian's own session and adapters date from before the restart.
        m_guardian.Start(*m_pHardware);
        ::Sleep(kAfterReinitMs);
    }
    // The boxes can hold any three digits when Enter was not pressed; APPLY takes them as Enter would.
    ApplyOuterFans(EntryPercent(m_editOuter.GetWindowText()));
    ApplyMiddleFan(EntryPercent(m_editMiddle.GetWindowText()));
    ShowApply(m_btnApply, false);
    ShowReset(m_btnReset, !(m_bAuto1 && m_bAuto2));
}

void CVentiqDlg::ApplyOuterFans(int percent) {
    // Kept so a resume can put the same percentage back.
    m_nOuterPercentApplied = m_bAuto1 ? std::nullopt : std::optional<int>(percent);
    if (m_bAuto1) {
        m_pHardware->SetOuterFanDefault();
    } else {
        m_pHardware->SetOuterFanPercent(percent);
    }
}

void CVentiqDlg::ApplyMiddleFan(int percent) {
    m_nMiddlePercentApplied.reset();
    if (m_bAuto2) {
        m_pHardware->WriteRegisterDefaults();
        return;
    }
    // A chip that is not in use shows no duty: a fixed one written now would pin the middle fan where
    // nobody sees it, however hot the PWM module gets.
    if (!m_bControllerPresent) {
        return;
    }
    // A hot PWM module on AMD boards keeps the chip's own curve, whichever way the speed would go, and
    // so does one whose temperature cannot be read.
    if (IsAmd()) {
        const std::optional<BYTE> temperature = m_pHardware->ReadChip(kChipRegPwmTemperature);
        if (!temperature || *temperature >= PROTECTION_TEMP) {
            ShowMessage(temperature ? kProtectionText : kUnreadableTemperatureText);
            OnAuto2();
            ::Sleep(kAfterProtectionMs);
            m_pHardware->WriteRegisterDefaults();
            return;
        }
    }
    m_pHardware->WriteFixedDuty(PercentToDuty(percent));
    m_nMiddlePercentApplied = percent;
}
