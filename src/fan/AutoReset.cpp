// Automatic mode: the Auto toggles change only the window and the modes (APPLY sends them), while
// RESET hands both fan sets back to the driver and the chip at once.
#include "app/VentiqDlg.h"

#include "fan/FanControls.h"
#include "fan/FanValues.h"

void CVentiqDlg::OnAuto1() {
    if (m_bAuto1) {
        LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::OuterFans));
        m_bAuto1 = false;
        m_sliderOuter.EnableSlider(TRUE);
        m_editOuter.EnableWindow(TRUE);
        ShowAuto1(m_btnAuto1, false);
        return;
    }
    LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::None));
    m_bAuto1 = true;
    m_sliderOuter.EnableSlider(FALSE);
    m_editOuter.EnableWindow(FALSE);
    ShowAuto1(m_btnAuto1, true);
    ShowApply(m_btnApply, true);
}

void CVentiqDlg::OnAuto2() {
    if (m_bAuto2) {
        LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::MiddleFan));
        m_bAuto2 = false;
        m_sliderMiddle.EnableSlider(TRUE);
        m_editMiddle.EnableWindow(TRUE);
        ShowAuto2(m_btnAuto2, false);
        return;
    }
    LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::None));
    m_bAuto2 = true;
    m_sliderMiddle.EnableSlider(FALSE);
    m_editMiddle.EnableWindow(FALSE);
    ShowAuto2(m_btnAuto2, true);
    ShowApply(m_btnApply, true);
}

void CVentiqDlg::OnReset() {
    LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::None));
    m_bEditing1 = false;
    m_bEditing2 = false;
    ShowApply(m_btnApply, false);
    if (!m_bAuto1) {
        m_bAuto1 = true;
        m_sliderOuter.EnableSlider(FALSE);
        m_editOuter.EnableWindow(FALSE);
        m_btnAuto1.EnableWindow(TRUE);
        ShowAuto1(m_btnAuto1, true);
        ShowReset(m_btnReset, false);
    }
    ApplyOuterFans(0);
    if (m_bControllerPresent) {
        if (!m_bAuto2) {
            m_bAuto2 = true;
            m_sliderMiddle.EnableSlider(FALSE);
            m_editMiddle.EnableWindow(FALSE);
            m_btnAuto2.EnableWindow(TRUE);
            ShowAuto2(m_btnAuto2, true);
            ShowReset(m_btnReset, false);
        }
        m_pHardware->WriteRegisterDefaults();
        m_nMiddlePercentApplied.reset();
        return;
    }
    // Without the chip the middle fan has no automatic mode to return to; RESET is done.
    ShowReset(m_btnReset, false);
}
