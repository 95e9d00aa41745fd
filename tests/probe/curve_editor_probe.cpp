// Opens the fan-curve editor on the default curves with a few minutes of made-up readings, the way
// the main window would, and feeds it a new reading every second until it is closed. For looking at
// the editor and taking its picture.
#include "curve/CurveFollower.h"
#include "res/resource.h"
#include "ui/CurveEditor.h"

#include <cmath>

namespace {
// A set's made-up readings: a temperature wandering around a load pattern, and the output its
// curve gives it under the real control law.
class CMadeUpSet {
public:
    CMadeUpSet(const FanCurve& curve, int nMinimum, double base)
        : m_follower(nMinimum, std::nullopt), m_base(base) {
        m_follower.SetCurve(curve);
    }
    void Step() {
        ++m_nTick;
        // Idle, then a game warming the card, with a little sensor noise.
        const double load = m_nTick < 120 ? 0 : std::min(1.0, (m_nTick - 120) / 90.0);
        const int nDegrees =
            static_cast<int>(std::lround(m_base + 22 * load + 1.5 * std::sin(m_nTick * 0.7)));
        m_follower.Tick(nDegrees, m_nTick * 1000ull);
        m_history.Add({nDegrees, m_follower.Output()});
    }
    const CCurveHistory& History() const { return m_history; }

private:
    CCurveFollower m_follower;
    CCurveHistory m_history;
    double m_base;
    int m_nTick = 0;
};

void LoadDigitalFont() {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_DIGITAL_FONT), L"BINARY");
    void* bytes = resource != nullptr ? ::LockResource(::LoadResource(module, resource)) : nullptr;
    DWORD fonts = 0;
    if (bytes != nullptr) {
        ::AddFontMemResourceEx(bytes, ::SizeofResource(module, resource), nullptr, &fonts);
    }
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    LoadDigitalFont();
    CMadeUpSet outer(DefaultOuterCurve(), 30, 44);
    CMadeUpSet middle(DefaultMiddleCurve(), 30, 47);
    for (int i = 0; i < 270; ++i) {
        outer.Step();
        middle.Step();
    }
    CCurveEditor editor;
    if (!editor.Open(nullptr, DefaultCurves(), 30, 30, 96)) {
        return 1;
    }
    editor.ShowLive(outer.History(), middle.History());
    ::SetTimer(nullptr, 0, 1000, nullptr);
    MSG msg;
    while (editor.IsOpen() && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
            outer.Step();
            middle.Step();
            editor.ShowLive(outer.History(), middle.History());
        }
        if (!editor.PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}
