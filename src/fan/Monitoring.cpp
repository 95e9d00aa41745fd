// Monitoring: the first readings with the starting mode of each fan set, the one-second readings
// tick, and the entry boxes following a dragged slider.
#include "app/VentiqDlg.h"

#include "fan/AdlOverdrive.h"
#include "fan/FanControls.h"
#include "fan/FanValues.h"
#include "gpu/DutyConversion.h"

namespace {
const wchar_t kDegreesUnit[] = L" \u00B0C";
constexpr BYTE kRegPwmTemperature = 0x02;
constexpr BYTE kRegDuty = 0x60;
constexpr int kAmdOuterMinimum = 30;
constexpr int kNvidiaOuterMinimum = 26;
constexpr int kMiddleMinimum = 30;
constexpr int kEntryDigits = 3;
} // namespace

void CVentiqDlg::ReadInitialState() {
    int outerPercent = 0;
    if (IsAmd()) {
        outerPercent = AdlReadFanPercent(m_hADL, m_nAdapterIndex);
        // The position goes in while the limits are still 0..100, so a reading below the minimum
        // stays visible until the next change.
        m_sliderOuter.SetPosition(outerPercent);
        m_sliderOuter.SetLimits(kAmdOuterMinimum, 100);
        m_bAuto1 = true;
    } else if (IsNvidia()) {
        const NvCoolerReading cooler = QueryNvCooler();
        outerPercent = cooler.m_nLevel;
        m_sliderOuter.SetPosition(outerPercent);
        m_sliderOuter.SetLimits(kNvidiaOuterMinimum, 100);
        // Any policy but manual (automatic 8 or 16, or one the program does not know) starts the outer
        // fans automatic, so the driver keeps them until the user takes over.
        m_bAuto1 = m_bFanControl != 0 && cooler.m_nPolicy != kNvPolicyManual;
    }
    if (m_bAuto1) {
        ShowAuto1(m_btnAuto1, true);
        m_sliderOuter.EnableSlider(FALSE);
        m_editOuter.EnableWindow(FALSE);
    } else if (m_bFanControl != 0) {
        ShowAuto1(m_btnAuto1, false);
        ShowReset(m_btnReset, true);
    } else {
        // Readings only: the outer fans cannot be driven without fan control.
        ShowAuto1(m_btnAuto1, false);
        m_btnAuto1.EnableWindow(FALSE);
        m_sliderOuter.EnableSlider(FALSE);
        m_editOuter.EnableWindow(FALSE);
        m_fan1Zone.EnableWindow(FALSE);
        m_fan2Zone.EnableWindow(FALSE);
    }

    const BYTE duty = ReadChipRegister(kRegDuty);
    m_strZone3Percent = DutyPercentText(duty);
    m_sliderMiddle.SetPosition(DutySliderPosition(duty));
    m_sliderMiddle.SetLimits(kMiddleMinimum, 100);

    m_editOuter.SendMessage(EM_LIMITTEXT, kEntryDigits);
    m_editOuter.SetWindowText(std::to_wstring(outerPercent));
    m_editMiddle.SendMessage(EM_LIMITTEXT, kEntryDigits);
    m_editMiddle.SetWindowText(m_strZone3Percent);

    // A chip that answers duty 0 at start-up is taken as absent for the whole run.
    m_bControllerPresent = duty != 0 && m_bFanControl != 0;
    if (m_bControllerPresent) {
        // Four equal control registers mean a fixed speed was left behind: the middle fan is manual.
        m_bAuto2 = !(m_nSavedRegs[0] == m_nSavedRegs[1] && m_nSavedRegs[1] == m_nSavedRegs[2] &&
                     m_nSavedRegs[2] == m_nSavedRegs[3]);
        ShowAuto2(m_btnAuto2, m_bAuto2);
        m_sliderMiddle.EnableSlider(m_bAuto2 ? FALSE : TRUE);
        m_editMiddle.EnableWindow(m_bAuto2 ? FALSE : TRUE);
        if (!m_bAuto2) {
            ShowReset(m_btnReset, true);
        }
    } else {
        m_bAuto2 = false;
        ShowAuto2(m_btnAuto2, false);
        m_btnAuto2.EnableWindow(FALSE);
        m_sliderMiddle.EnableSlider(FALSE);
        m_editMiddle.EnableWindow(FALSE);
        m_fan3Zone.EnableWindow(FALSE);
    }
}

void CVentiqDlg::UpdateReadings() {
    // The readings only mark the controls whose values changed; one update then paints them
    // together, each control its piece of the skin and its value at once. An unchanged tick paints
    // nothing, and neither does a window hidden in the tray: showing it paints what it holds then.
    UpdateReadouts();
    if (::IsWindowVisible(m_hWnd)) {
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

void CVentiqDlg::UpdateReadouts() {
    const bool amd = IsAmd();
    if (amd) {
        int degrees = 0;
        // A failed read keeps the last temperature on show.
        if (AdlReadTemperature(m_hADL, m_nAdapterIndex, degrees)) {
            ShowValue(m_lblGpuTemp, std::to_wstring(degrees));
            m_lblGpuUnit.SetWindowText(kDegreesUnit);
        }
        const int percent = AdlReadFanPercent(m_hADL, m_nAdapterIndex);
        ShowValue(m_lblZone1Speed, PercentText(percent));
        ShowValue(m_lblZone2Speed, PercentText(percent));
        if (m_bAuto1) {
            UpdateDisabledSlider(m_sliderOuter, m_editOuter, percent, std::to_wstring(percent));
        }
    } else if (IsNvidia()) {
        ShowValue(m_lblGpuTemp, GetNvGpuTemperatureText());
        m_lblGpuUnit.SetWindowText(kDegreesUnit);
        // The cooler readout also moves the disabled outer-fan slider while the driver is in control.
        const std::wstring speed = GetNvCoolerText();
        ShowValue(m_lblZone1Speed, speed);
        ShowValue(m_lblZone2Speed, speed);
    }
    if ((amd || IsNvidia()) && m_bControllerPresent) {
        const BYTE duty = ReadChipRegister(kRegDuty);
        m_strZone3Percent = DutyPercentText(duty);
        ShowValue(m_lblZone3Speed, m_strZone3Percent + L"%");
        if (m_bAuto2) {
            UpdateDisabledSlider(m_sliderMiddle, m_editMiddle, DutySliderPosition(duty), m_strZone3Percent);
        }
        m_lblPwmUnit.SetWindowText(kDegreesUnit);
        // The module temperature is a whole-degree byte.
        ShowValue(m_lblPwmTemp, std::to_wstring(ReadChipRegister(kRegPwmTemperature)));
    }
}

void CVentiqDlg::UpdateEntryText() {
    if (!m_bAuto1 && m_bEditing1) {
        m_editOuter.ShowText(std::to_wstring(m_sliderOuter.GetPosition()));
    } else if (!m_bAuto2 && m_bEditing2) {
        m_editMiddle.ShowText(std::to_wstring(m_sliderMiddle.GetPosition()));
    } else {
        return;
    }
    UpdateData();
}

void CVentiqDlg::UpdateDisabledSlider(CBitmapSlider& slider, const CEntryBox& entry, int position,
                                      const std::wstring& text) {
    // A disabled slider and box take their values as they are, so only a changed value repaints.
    // Disabling again ends a drag the user had started on the slider.
    slider.SetPosition(position);
    entry.ShowText(text);
    slider.EnableSlider(FALSE);
    entry.EnableWindow(FALSE);
}

CVentiqDlg::NvCoolerReading CVentiqDlg::QueryNvCooler() {
    // A failed query leaves the zeroed record: level 0, policy 0.
    NvCoolerStateRecord state{};
    state.version = NvCoolerStateRecordVersion;
    m_nLastNvStatus = m_nvApi.QueryCoolerState(m_hPhysicalGpu[0], 0, &state);
    return {state.cooler[0].currentLevel, state.cooler[0].currentPolicy};
}
