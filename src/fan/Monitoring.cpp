// Monitoring: the first readings with the starting mode of each fan set, the one-second readings
// tick, and the entry boxes following a dragged slider.
#include "app/VentiqDlg.h"

#include "fan/FanControls.h"
#include "fan/FanValues.h"
#include "hw/DutyConversion.h"
#include "hw/NvApiRecords.h"

#include <cwchar>

namespace {
const wchar_t kDegreesUnit[] = L" \u00B0C";
constexpr int kAmdOuterMinimum = 30;
constexpr int kNvidiaOuterMinimum = 26;
constexpr int kEntryDigits = 3;

// The number a readout text starts with ("47%" gives 47); empty for an empty text.
std::optional<int> ReadNumber(const std::wstring& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}
} // namespace

int CVentiqDlg::OuterMinimum() const {
    return IsNvidia() ? kNvidiaOuterMinimum : kAmdOuterMinimum;
}

void CVentiqDlg::ReadSavedRegisters() {
    for (int k = 0; k < 4; ++k) {
        m_nSavedRegs[k] = m_pHardware->ReadChip(static_cast<BYTE>(kChipRegFirstControl + k));
    }
}

void CVentiqDlg::ReadInitialState() {
    const OuterFanReading outer = m_pHardware->ReadOuterFans().value_or(OuterFanReading{});
    // The position goes in while the limits are still 0..100, so a reading below the minimum stays
    // visible until the next change.
    m_sliderOuter.SetPosition(outer.m_nPercent);
    m_sliderOuter.SetLimits(OuterMinimum(), 100);
    // AMD boards start automatic. On NVIDIA any policy but manual (automatic 8 or 16, or one the
    // program does not know) starts the outer fans automatic, so the driver keeps them until the user
    // takes over.
    const bool fanControl = m_pFanOwner != nullptr;
    m_outerMode = IsAmd() || (fanControl && outer.m_nPolicy != kNvPolicyManual) ? FanMode::Automatic
                                                                                : FanMode::Manual;
    const int outerPercent = outer.m_nPercent;
    if (m_outerMode == FanMode::Automatic) {
        ShowAuto1(m_btnAuto1, FanMode::Automatic);
        m_sliderOuter.EnableSlider(FALSE);
        m_editOuter.EnableWindow(FALSE);
    } else if (fanControl) {
        ShowAuto1(m_btnAuto1, FanMode::Manual);
        ShowReset(m_btnReset, true);
    } else {
        // Readings only: the outer fans cannot be driven without fan control.
        ShowAuto1(m_btnAuto1, FanMode::Manual);
        m_btnAuto1.EnableWindow(FALSE);
        m_sliderOuter.EnableSlider(FALSE);
        m_editOuter.EnableWindow(FALSE);
        m_fan1Zone.EnableWindow(FALSE);
        m_fan2Zone.EnableWindow(FALSE);
    }

    // A duty the chip does not give reads as 0: the chip is then not used.
    const BYTE duty = m_pHardware->ReadChip(kChipRegDuty).value_or(0);
    m_strZone3Percent = DutyPercentText(duty);
    m_sliderMiddle.SetPosition(DutySliderPosition(duty));
    m_sliderMiddle.SetLimits(kMiddleFanMinimum, 100);

    m_editOuter.SendMessage(EM_LIMITTEXT, kEntryDigits);
    m_editOuter.SetWindowText(std::to_wstring(outerPercent));
    m_editMiddle.SendMessage(EM_LIMITTEXT, kEntryDigits);
    m_editMiddle.SetWindowText(m_strZone3Percent);

    // A set that starts manual holds what the window shows; a resume puts that back.
    if (m_outerMode == FanMode::Manual && fanControl) {
        m_outerApplied = FanSetting{FanMode::Manual, outerPercent};
    }
    // A chip that answers duty 0 at start-up is taken as absent for the whole run.
    m_bControllerPresent = duty != 0 && fanControl;
    if (m_bControllerPresent) {
        // Four equal control registers mean a fixed speed was left behind: the middle fan is manual.
        // Registers that could not be read tell nothing, and the middle fan starts automatic.
        const bool allRead = m_nSavedRegs[0] && m_nSavedRegs[1] && m_nSavedRegs[2] && m_nSavedRegs[3];
        const bool fixed = allRead && m_nSavedRegs[0] == m_nSavedRegs[1] && m_nSavedRegs[1] == m_nSavedRegs[2] &&
                           m_nSavedRegs[2] == m_nSavedRegs[3];
        m_middleMode = fixed ? FanMode::Manual : FanMode::Automatic;
        ShowAuto2(m_btnAuto2, m_middleMode);
        m_sliderMiddle.EnableSlider(fixed ? TRUE : FALSE);
        m_editMiddle.EnableWindow(fixed ? TRUE : FALSE);
        if (fixed) {
            ShowReset(m_btnReset, true);
            m_middleApplied = FanSetting{FanMode::Manual, ReadNumber(m_strZone3Percent).value_or(0)};
        }
    } else {
        m_middleMode = FanMode::Automatic;
        ShowAuto2(m_btnAuto2, FanMode::Manual);
        m_btnAuto2.EnableWindow(FALSE);
        m_sliderMiddle.EnableSlider(FALSE);
        m_editMiddle.EnableWindow(FALSE);
        m_fan3Zone.EnableWindow(FALSE);
    }
    // Fans found at a fixed speed are the program's from now on: guarded as if it had set them.
    if (fanControl) {
        m_pFanOwner->Adopt(m_outerMode == FanMode::Manual, m_middleMode == FanMode::Manual);
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
    m_lastReadings = CardReadings();
    // A failed read empties its readouts: a number nobody read is not shown.
    const std::optional<int> degrees = m_pHardware->ReadGpuTemperature();
    m_lastReadings.m_nGpuDegrees = degrees;
    ShowValue(m_lblGpuTemp, degrees ? std::to_wstring(*degrees) : std::wstring());
    m_lblGpuUnit.SetWindowText(kDegreesUnit);
    const std::optional<OuterFanReading> outer = m_pHardware->ReadOuterFans();
    const std::wstring speed = outer ? PercentText(outer->m_nPercent) : std::wstring();
    ShowValue(m_lblZone1Speed, speed);
    ShowValue(m_lblZone2Speed, speed);
    if (outer) {
        m_lastReadings.m_nOuterPercent = outer->m_nPercent;
        // While the driver is in control, the disabled slider follows the fans.
        if (m_outerMode == FanMode::Automatic) {
            UpdateDisabledSlider(m_sliderOuter, m_editOuter, outer->m_nPercent,
                                 std::to_wstring(outer->m_nPercent));
        }
    }
    if (!m_bControllerPresent) {
        return;
    }
    // A failed chip read keeps the last duty and module temperature on show.
    if (const std::optional<BYTE> duty = m_pHardware->ReadChip(kChipRegDuty)) {
        m_strZone3Percent = DutyPercentText(*duty);
        ShowValue(m_lblZone3Speed, m_strZone3Percent + L"%");
        if (m_middleMode == FanMode::Automatic) {
            UpdateDisabledSlider(m_sliderMiddle, m_editMiddle, DutySliderPosition(*duty), m_strZone3Percent);
        }
        m_lastReadings.m_nMiddlePercent = ReadNumber(m_strZone3Percent);
    }
    // The module temperature is a whole-degree byte.
    if (const std::optional<BYTE> temperature = m_pHardware->ReadChip(kChipRegPwmTemperature)) {
        m_lblPwmUnit.SetWindowText(kDegreesUnit);
        ShowValue(m_lblPwmTemp, std::to_wstring(*temperature));
        m_lastReadings.m_nPwmDegrees = *temperature;
    }
}

void CVentiqDlg::UpdateEntryText() {
    if (m_outerMode == FanMode::Manual && m_bEditing1) {
        m_editOuter.ShowText(std::to_wstring(m_sliderOuter.GetPosition()));
    } else if (m_middleMode == FanMode::Manual && m_bEditing2) {
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
