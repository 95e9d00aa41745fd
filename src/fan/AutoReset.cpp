// Fan modes: the Auto toggles and the mode of each set change only the window (APPLY sends them),
// while RESET hands both fan sets back to the driver and the chip at once.
#include "app/VentiqDlg.h"

#include "fan/FanControls.h"
#include "fan/FanValues.h"

void CVentiqDlg::OnAuto1() {
    SetOuterMode(m_outerMode == FanMode::Automatic ? FanMode::Manual : FanMode::Automatic);
}

void CVentiqDlg::OnAuto2() {
    SetMiddleMode(m_middleMode == FanMode::Automatic ? FanMode::Manual : FanMode::Automatic);
}

struct CVentiqDlg::FanSetControls {
    FanHighlight m_highlight;
    CBitmapSlider& m_slider;
    CEntryBox& m_entry;
    CxSkinButton& m_button;
    void (*m_showAuto)(CxSkinButton&, FanMode);
};

void CVentiqDlg::SetOuterMode(FanMode mode) {
    m_outerMode = mode;
    ShowSetMode(mode, {FanHighlight::OuterFans, m_sliderOuter, m_editOuter, m_btnAuto1, &ShowAuto1});
}

void CVentiqDlg::SetMiddleMode(FanMode mode) {
    m_middleMode = mode;
    ShowSetMode(mode, {FanHighlight::MiddleFan, m_sliderMiddle, m_editMiddle, m_btnAuto2, &ShowAuto2});
}

void CVentiqDlg::ShowSetMode(FanMode mode, const FanSetControls& set) {
    const bool manual = mode == FanMode::Manual;
    // A set made manual is highlighted for its slider; APPLY lights once a value is chosen.
    LoadBackground(BackgroundImage(IsNvidia(), manual ? set.m_highlight : FanHighlight::None));
    set.m_slider.EnableSlider(manual ? TRUE : FALSE);
    set.m_entry.EnableWindow(manual ? TRUE : FALSE);
    set.m_showAuto(set.m_button, mode);
    if (!manual) {
        ShowApply(m_btnApply, true);
    }
}

void CVentiqDlg::OnReset() {
    LoadBackground(BackgroundImage(IsNvidia(), FanHighlight::None));
    m_bEditing1 = false;
    m_bEditing2 = false;
    ShowApply(m_btnApply, false);
    if (m_outerMode != FanMode::Automatic) {
        m_outerMode = FanMode::Automatic;
        m_sliderOuter.EnableSlider(FALSE);
        m_editOuter.EnableWindow(FALSE);
        m_btnAuto1.EnableWindow(TRUE);
        ShowAuto1(m_btnAuto1, FanMode::Automatic);
        ShowReset(m_btnReset, false);
    }
    ApplyOuterFans(0);
    if (m_bControllerPresent) {
        if (m_middleMode != FanMode::Automatic) {
            m_middleMode = FanMode::Automatic;
            m_sliderMiddle.EnableSlider(FALSE);
            m_editMiddle.EnableWindow(FALSE);
            m_btnAuto2.EnableWindow(TRUE);
            ShowAuto2(m_btnAuto2, FanMode::Automatic);
            ShowReset(m_btnReset, false);
        }
        m_middleApplied.m_mode = FanMode::Automatic;
        m_pFanOwner->SetMiddleDefault();
    } else {
        // Without the chip the middle fan has no automatic mode to return to; RESET is done.
        ShowReset(m_btnReset, false);
    }
    RememberSettings();
}
