// A window procedure's own last-chance frame.
#pragma once
#include <windows.h>

// Calls proc(hWnd, message, wParam, lParam) under a frame of its own. The system code that calls a
// window procedure may swallow an exception escaping it (DispatchMessage does so for WM_TIMER, Wine
// for every callback), and the program would run on with a handler left half done. Here such an
// exception goes to UnhandledExceptionFilter, so the process's unhandled-exception filter runs and
// error reporting sees it, and the process then ends with the exception's code.
LRESULT CallWindowProcGuarded(WNDPROC proc, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
