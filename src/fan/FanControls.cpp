// Image sets and label updates of the fan controls.
#include "fan/FanControls.h"

#include "res/resource.h"

namespace {
// The faces of one Auto button: lit, unlit, under the mouse, and its Curve faces.
struct AutoFaces {
    UINT m_nOn, m_nOff, m_nOver, m_nCurve, m_nCurveOver;
};

void ShowAuto(CxSkinButton& button, FanMode mode, const AutoFaces& faces) {
    switch (mode) {
    case FanMode::Automatic:
        button.SetSkinImages(faces.m_nOn, faces.m_nOff, faces.m_nOver, faces.m_nOn);
        break;
    case FanMode::Manual:
        button.SetSkinImages(faces.m_nOff, faces.m_nOn, faces.m_nOver, faces.m_nOff);
        break;
    case FanMode::Curve:
        button.SetSkinImages(faces.m_nCurve, faces.m_nOn, faces.m_nCurveOver, faces.m_nCurve);
        break;
    }
}
} // namespace

void ShowAuto1(CxSkinButton& button, FanMode mode) {
    ShowAuto(button, mode, {IDB_AUTO1_ON, IDB_AUTO1_OFF, IDB_AUTO1_OVER, IDB_AUTO1_CURVE, IDB_AUTO1_CURVE_OVER});
}

void ShowAuto2(CxSkinButton& button, FanMode mode) {
    ShowAuto(button, mode, {IDB_AUTO2_ON, IDB_AUTO2_OFF, IDB_AUTO2_OVER, IDB_AUTO2_CURVE, IDB_AUTO2_CURVE_OVER});
}

void ShowApply(CxSkinButton& button, bool waiting) {
    button.EnableWindow(waiting ? TRUE : FALSE);
    if (waiting) {
        button.SetSkinImages(IDB_APPLY_LIT, IDB_APPLY_DARK, IDB_APPLY_OVER, IDB_APPLY_LIT);
    } else {
        button.SetSkinImages(IDB_APPLY_DARK, IDB_APPLY_LIT, IDB_APPLY_OVER, IDB_APPLY_DARK);
    }
}

void ShowReset(CxSkinButton& button, bool manual) {
    button.EnableWindow(manual ? TRUE : FALSE);
    if (manual) {
        button.SetSkinImages(IDB_RESET_LIT, IDB_RESET_DARK, IDB_RESET_OVER, IDB_RESET_LIT);
    } else {
        button.SetSkinImages(IDB_RESET_DARK, IDB_RESET_LIT, IDB_RESET_OVER, IDB_RESET_DARK);
    }
}

unsigned BackgroundImage(bool nvidia, FanHighlight highlight) {
    switch (highlight) {
    case FanHighlight::OuterFans:
        return nvidia ? IDB_NV_CARD_FAN12 : IDB_AMD_CARD_FAN12;
    case FanHighlight::MiddleFan:
        return nvidia ? IDB_NV_CARD_FAN3 : IDB_AMD_CARD_FAN3;
    case FanHighlight::None:
        break;
    }
    return nvidia ? IDB_NV_CARD : IDB_AMD_CARD;
}

void ShowValue(CLabel& label, const std::wstring& text) {
    // Setting the text costs a round trip to the system even when it is the same.
    if (label.GetCaption() != text) {
        label.SetWindowText(text);
    }
}
