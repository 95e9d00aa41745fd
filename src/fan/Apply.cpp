// Manual fan control: a dragged slider marks its fan set as edited, and APPLY sends both fan sets to
// the hardware, with the protection rule for a hot PWM module on AMD boards.
#include "app/VentiqDlg.h"

#include "fan/AdlOverdrive.h"
#include "fan/FanControls.h"
#include "fan/FanValues.h"
#include "fan/UlpsKeys.h"
#include "gpu/DutyConversion.h"

namespace {
const wchar_t kProtectionText[] =
    L"Based on the protection mechanism, the fan speed of the middle fan can\u2019t be turned down manually "
    L"while the temperature of the PWM module is standing high.";
constexpr BYTE kRegPwmTemperature = 0x02;
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
    if (IsAmd() && m_bUlpsEnabled) {
        // With ULPS on, the idle CrossFire card sleeps and misses fan settings: switch it off once,
        // restart the device and find the adapters again.
        m_bUlpsEnabled = false;
        WriteUlpsState(kDisplayClassKey, kAdapterMarkerValue, 0);
        RestartDisplayDevice();
        ::Sleep(kAfterRestartMs);
        ReinitAdl();
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
    if (IsAmd()) {
        for (int card = 0; card < m_nCardCount; ++card) {
            if (m_bAuto1) {
                AdlSetFanDefault(m_hADL, AdapterForCard(card));
            } else {
                AdlSetFanPercent(m_hADL, AdapterForCard(card), percent);
            }
        }
    } else if (IsNvidia()) {
        if (m_bAuto1) {
            ApplyNvCoolerLevels(0, kNvPolicyDriver);
        } else {
            ApplyNvCoolerLevels(percent, kNvPolicyManual);
        }
    }
}

void CVentiqDlg::ApplyMiddleFan(int percent) {
    m_nMiddlePercentApplied.reset();
    if (m_bAuto2) {
        WriteRegisterDefaults();
        return;
    }
    // A hot PWM module on AMD boards keeps the chip's own curve, whichever way the speed would go.
    if (IsAmd() && ReadChipRegister(kRegPwmTemperature) >= PROTECTION_TEMP) {
        ShowMessage(kProtectionText);
        OnAuto2();
        ::Sleep(kAfterProtectionMs);
        WriteRegisterDefaults();
        return;
    }
    if (IsAmd() || IsNvidia()) {
        WriteFixedDuty(PercentToDuty(percent));
        m_nMiddlePercentApplied = percent;
    }
}
