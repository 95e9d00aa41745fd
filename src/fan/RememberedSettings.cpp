// The user's fan settings between runs: APPLY and RESET remember what they left on the hardware, and
// a start with "Restore my settings at start" applies it again once the first readings are in.
#include "app/VentiqDlg.h"

#include "app/UserSettings.h"
#include "fan/FanControls.h"

void CVentiqDlg::RememberSettings() {
    // Only what differs from what is stored is written.
    WriteRememberedFans(RememberedFans{m_outerApplied, m_middleApplied});
}

void CVentiqDlg::RestoreRememberedSettings() {
    if (m_pFanOwner == nullptr) {
        return;
    }
    const RememberedFans remembered = ReadRememberedFans();
    // The window shows the modes as if the user had chosen them, then they are applied as APPLY
    // applies them; a refusal of the protection rule is told in the tray, not in a box.
    SetOuterMode(remembered.m_outer.m_mode);
    if (remembered.m_outer.m_mode == FanMode::Manual) {
        m_sliderOuter.SetPosition(remembered.m_outer.m_nPercent);
        m_editOuter.SetWindowText(std::to_wstring(remembered.m_outer.m_nPercent));
    }
    if (m_bControllerPresent) {
        SetMiddleMode(remembered.m_middle.m_mode);
        if (remembered.m_middle.m_mode == FanMode::Manual) {
            m_sliderMiddle.SetPosition(remembered.m_middle.m_nPercent);
            m_editMiddle.SetWindowText(std::to_wstring(remembered.m_middle.m_nPercent));
        }
    }
    ApplyOuterFans(remembered.m_outer.m_nPercent);
    ApplyMiddleFan(remembered.m_middle.m_nPercent, true);
    LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::None));
    ShowApply(m_btnApply, false);
    ShowReset(m_btnReset, m_outerMode != FanMode::Automatic || m_middleMode != FanMode::Automatic);
}
