// How the fan controls show their state: the image sets of the Auto, APPLY and RESET buttons, the
// background of each editing state, and the value labels' texts.
#pragma once
#include "fan/FanMode.h"
#include "ui/Label.h"
#include "ui/SkinButton.h"

#include <string>

// Auto1 lit while the outer fans are automatic, unlit while manual, its Curve face in Curve mode.
void ShowAuto1(CxSkinButton& button, FanMode mode);
// Auto2 the same for the middle fan.
void ShowAuto2(CxSkinButton& button, FanMode mode);
// APPLY enabled and lit while a change waits to be applied, else disabled and dark.
void ShowApply(CxSkinButton& button, bool waiting);
// RESET enabled and lit while a fan set is manual, else disabled and dark.
void ShowReset(CxSkinButton& button, bool manual);

enum class FanHighlight { None, OuterFans, MiddleFan };
// The window background of the vendor with the given fan set highlighted.
unsigned BackgroundImage(bool nvidia, FanHighlight highlight);

// Sets a value label's text; the label repaints (skin and text in one pass) only when it changed.
void ShowValue(CLabel& label, const std::wstring& text);
