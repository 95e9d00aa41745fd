// Registration of the program's own window classes.
#include "ui/WindowClass.h"

bool EnsureWindowClass(const wchar_t* szName, UINT nStyle) {
    const HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    WNDCLASSW existing{};
    if (::GetClassInfoW(hInstance, szName, &existing)) {
        return true;
    }
    WNDCLASSW windowClass{};
    windowClass.style = nStyle;
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = hInstance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = szName;
    return ::RegisterClassW(&windowClass) != 0;
}
