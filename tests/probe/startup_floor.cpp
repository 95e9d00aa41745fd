// The floor of start-up under Wine: a program that does nothing but create a window of the main
// window's size and show it at once. The start-up benchmark starts it the way it starts Ventiq.
#include <windows.h>

namespace {
LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &FloorProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH));
    windowClass.lpszClassName = L"VentiqStartupFloor";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(WS_EX_APPWINDOW, L"VentiqStartupFloor", L"Floor", WS_POPUP | WS_VISIBLE,
                                    240, 300, 800, 395, nullptr, nullptr, instance, nullptr);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    return 0;
}
