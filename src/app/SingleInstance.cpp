// The single-instance rule: a named mutex, and the running window found and asked to show itself.
#include "app/SingleInstance.h"

#include "framework/WinApp.h"

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {
// Global: two signed-in users must not both drive the same fans.
const wchar_t kMutexName[] = L"Global\\Valdro.Ventiq.Instance";

std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

// Other processes started from an executable of this one's file name, wherever it lies.
std::vector<DWORD> OtherProcessesOfThisName() {
    std::vector<DWORD> found;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return found;
    }
    const std::wstring name = FileNameOf(ExecutablePath());
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != ::GetCurrentProcessId() && _wcsicmp(entry.szExeFile, name.c_str()) == 0) {
            found.push_back(entry.th32ProcessID);
        }
    }
    ::CloseHandle(snapshot);
    return found;
}

struct MainWindowSearch {
    std::vector<DWORD> m_processIds;
    HWND m_hFound = nullptr;
    DWORD m_nProcessId = 0;
};

// The main window is the one unowned dialog with the program's caption; its message boxes share the
// caption but are owned by it.
BOOL CALLBACK MatchMainWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<MainWindowSearch*>(param);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    wchar_t className[16] = {};
    wchar_t caption[16] = {};
    ::GetClassNameW(window, className, ARRAYSIZE(className));
    ::GetWindowTextW(window, caption, ARRAYSIZE(caption));
    if (std::wstring(className) != L"#32770" || std::wstring(caption) != L"Ventiq" ||
        ::GetWindow(window, GW_OWNER) != nullptr) {
        return TRUE;
    }
    for (const DWORD candidate : search.m_processIds) {
        if (candidate == processId) {
            search.m_hFound = window;
            search.m_nProcessId = processId;
            return FALSE;
        }
    }
    return TRUE;
}
} // namespace

CSingleInstance::CSingleInstance()
    : m_hMutex(::CreateMutexW(nullptr, FALSE, kMutexName)),
      // Access denied: the mutex exists, created by an instance running as someone else.
      m_bSecond(::GetLastError() == ERROR_ALREADY_EXISTS || ::GetLastError() == ERROR_ACCESS_DENIED) {}

CSingleInstance::~CSingleInstance() {
    if (m_hMutex != nullptr) {
        ::CloseHandle(m_hMutex);
    }
}

UINT ShowRunningInstanceMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Valdro.Ventiq.ShowRunningInstance");
    return message;
}

bool ShowRunningInstance() {
    MainWindowSearch search{OtherProcessesOfThisName()};
    if (search.m_processIds.empty()) {
        return false;
    }
    ::EnumWindows(&MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    if (search.m_hFound == nullptr) {
        return false;
    }
    // This process was started by the user and may hand the foreground on; the running one may not
    // take it by itself.
    ::AllowSetForegroundWindow(search.m_nProcessId);
    return ::PostMessageW(search.m_hFound, ShowRunningInstanceMessage(), 0, 0) != FALSE;
}
