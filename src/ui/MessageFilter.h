// Letting messages from less privileged processes through the message filter of an elevated program.
#pragma once
#include <windows.h>

// user32's filter functions, found at run time: Windows 7 and later have the per-window one, Vista
// only the process-wide one, XP neither (it has no filter).
struct MessageFilterFunctions {
    using ForWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    using ForProcess = BOOL(WINAPI*)(UINT, DWORD);
    ForWindow m_pfnForWindow = nullptr;
    ForProcess m_pfnForProcess = nullptr;
};

MessageFilterFunctions FindMessageFilterFunctions();

// Lets message reach hWnd from a process of lower integrity, such as Explorer while this program
// runs elevated: for that window where the system can, else for the whole process. True when the
// message gets through, also on a system without a filter.
bool AllowFromLowerIntegrity(const MessageFilterFunctions& functions, HWND hWnd, UINT message);
