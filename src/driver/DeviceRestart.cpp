// Display device restart: runs the device console tool hidden and waits until it has ended.
#include "driver/DeviceRestart.h"

#include "app/VentiqDlg.h"
#include "cards/CardListFile.h"

#include <shellapi.h>

std::wstring DeviceToolPath(const std::wstring& workDir, bool windows64) {
    return workDir + (windows64 ? L"\\devcon64.exe" : L"\\devcon86.exe");
}

std::wstring DeviceToolParameters(const std::wstring& deviceId) {
    return L"restart *DEV_" + deviceId + L"*";
}

bool IsWindows64() {
#if defined(_WIN64)
    // A 64-bit process runs on 64-bit Windows only; WOW64 would answer no for it.
    return true;
#else
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64Process != nullptr) {
        isWow64Process(::GetCurrentProcess(), &wow64);
    }
    return wow64 != FALSE;
#endif
}

void CVentiqDlg::RestartDisplayDevice() {
    const std::wstring parameters = DeviceToolParameters(m_strDevId[0]);
    const std::wstring tool = DeviceToolPath(ReadWorkDir(), IsWindows64());

    SHELLEXECUTEINFOW launch{};
    launch.cbSize = sizeof(launch);
    launch.fMask = SEE_MASK_NOCLOSEPROCESS;
    launch.lpFile = tool.c_str();
    launch.lpParameters = parameters.c_str();
    launch.nShow = SW_HIDE;
    ::ShellExecuteExW(&launch);
    if (launch.hProcess != nullptr) {
        ::WaitForSingleObject(launch.hProcess, INFINITE);
        ::CloseHandle(launch.hProcess);
    }
}
