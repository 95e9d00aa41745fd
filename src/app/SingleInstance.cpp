// The single-instance rule: a walk of the process list by executable name.
#include "app/SingleInstance.h"

#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

namespace {
// taskkill by its full path: an elevated program must not start a planted copy of it.
std::wstring SystemTool(const wchar_t* fileName) {
    wchar_t directory[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(directory) + L"\\" + fileName;
}

void ActOnSecondInstance(DWORD processId, bool isWinXP, bool isWin7OrWin8) {
    if (isWinXP) {
        const std::wstring taskkill = SystemTool(L"taskkill.exe");
        const std::wstring parameters = L"/pid " + std::to_wstring(processId);
        if (!taskkill.empty()) {
            ::ShellExecuteW(nullptr, L"open", taskkill.c_str(), parameters.c_str(), nullptr, SW_HIDE);
        }
    } else if (isWin7OrWin8) {
        // The exit code query cannot succeed with this access right, so the code stays 0.
        DWORD exitCode = 0;
        HANDLE process = ::OpenProcess(PROCESS_VM_READ, FALSE, processId);
        if (process != nullptr) {
            ::GetExitCodeProcess(process, &exitCode);
            ::CloseHandle(process);
        }
        ::ExitProcess(exitCode);
    }
}
} // namespace

void EnforceSingleInstance(const std::wstring& imageName, bool isWinXP, bool isWin7OrWin8) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int matches = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (imageName != entry.szExeFile || ++matches < 2) {
            continue;
        }
        const DWORD processId = entry.th32ProcessID;
        ::CloseHandle(snapshot);
        ActOnSecondInstance(processId, isWinXP, isWin7OrWin8);
        return;
    }
    ::CloseHandle(snapshot);
}
