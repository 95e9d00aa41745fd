// Benchmark: what the frame around every window procedure costs a message. A trivial procedure is
// called directly and through the guard, and one message is sent through the whole subclassed path.
#include "framework/Wnd.h"
#include "framework/WindowProcGuard.h"

#include <cstdio>

namespace {

LRESULT CALLBACK Trivial(HWND, UINT message, WPARAM wParam, LPARAM) {
    return static_cast<LRESULT>(message + wParam);
}

double NanosecondsPerCall(int calls, LRESULT (*call)(int)) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    LRESULT sum = 0;
    for (int i = 0; i < calls; ++i) {
        sum += call(i);
    }
    ::QueryPerformanceCounter(&end);
    if (sum == 42) {
        std::puts(""); // keeps the loop from being optimised away
    }
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1e9 / static_cast<double>(frequency.QuadPart) /
           calls;
}

WNDPROC volatile g_pProc = &Trivial;
HWND g_hWnd = nullptr;

} // namespace

int main() {
    constexpr int kCalls = 10'000'000;
    const double direct = NanosecondsPerCall(kCalls, [](int i) {
        return g_pProc(nullptr, WM_USER, static_cast<WPARAM>(i), 0);
    });
    const double guarded = NanosecondsPerCall(kCalls, [](int i) {
        return CallWindowProcGuarded(g_pProc, nullptr, WM_USER, static_cast<WPARAM>(i), 0);
    });

    g_hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd window;
    window.SubclassWindow(g_hWnd);
    constexpr int kMessages = 200'000;
    const double sent = NanosecondsPerCall(kMessages, [](int i) {
        return ::SendMessageW(g_hWnd, WM_USER, static_cast<WPARAM>(i), 0);
    });
    ::DestroyWindow(g_hWnd);

    std::printf("Window procedure guard, %d calls of a trivial procedure\n", kCalls);
    std::printf("direct call: %.2f ns, through the guard: %.2f ns, the guard's cost: %.2f ns per message\n", direct,
                guarded, guarded - direct);
    std::printf("for scale, one message sent to a subclassed window: %.0f ns\n", sent);
    return 0;
}
