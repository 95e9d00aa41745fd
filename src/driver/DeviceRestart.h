// The device console tool that restarts the display device after a ULPS change.
#pragma once
#include <string>

// The tool beside the program: the directory as stored, then "\devcon64.exe" for 64-bit Windows or
// "\devcon86.exe" for 32-bit Windows (no separator is added or removed).
std::wstring DeviceToolPath(const std::wstring& workDir, bool windows64);

// The tool's command line: every device whose hardware id carries this device id is restarted.
std::wstring DeviceToolParameters(const std::wstring& deviceId);

// Whether the system is 64-bit Windows: always for a 64-bit build; for a 32-bit build, when it runs
// under WOW64 (a system without IsWow64Process is taken as 32-bit).
bool IsWindows64();
