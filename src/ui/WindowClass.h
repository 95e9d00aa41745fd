// Window classes of the program's own windows, whose messages a CWnd takes over once created.
#pragma once
#include <windows.h>

// Registers the class once for the process (default processing, arrow cursor, no background, so
// the window paints all of itself); false when it is neither registered now nor before.
bool EnsureWindowClass(const wchar_t* szName, UINT nStyle);
