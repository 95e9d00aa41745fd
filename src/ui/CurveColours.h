// The curve editor's palette: the skin's dark metal and red accent, and one colour per fan set.
#pragma once
#include <windows.h>

constexpr COLORREF kCurveBody = RGB(38, 40, 45);      // the window's face
constexpr COLORREF kCurveBannerTop = RGB(30, 32, 36); // the title banner, as on the card
constexpr COLORREF kCurveBannerBottom = RGB(16, 17, 19);
constexpr COLORREF kCurveRim = RGB(96, 102, 110);      // edges of raised parts
constexpr COLORREF kCurveRecessRim = RGB(70, 75, 82);  // edges of sunken parts
constexpr COLORREF kCurveWell = RGB(12, 13, 15);       // inside sunken parts
constexpr COLORREF kCurveAccent = RGB(226, 46, 52);    // the skin's red
constexpr COLORREF kCurveCaption = RGB(196, 201, 208); // captions, as on the card
constexpr COLORREF kCurveDimText = RGB(128, 134, 142); // scales and hints
constexpr COLORREF kCurveFocus = RGB(255, 208, 0);     // the skin's highlight yellow
constexpr COLORREF kCurveAmber = RGB(255, 222, 0);     // values, as in the readouts

// Outer fans (Fan1 & Fan3) amber, the middle fan (Fan2) ice blue.
constexpr COLORREF kCurveSetColours[2] = {RGB(255, 190, 30), RGB(80, 190, 255)};
