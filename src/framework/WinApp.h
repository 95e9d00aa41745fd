// CWinApp: the application object; the entry point runs its InitInstance and the program ends
// when that returns.
#pragma once
#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up routine; returns whether a message loop should follow (never, in this program).
    virtual BOOL InitInstance() = 0;

    // The executable's file name without extension: the caption of every message box.
    const std::wstring& AppName() const { return m_strAppName; }
    CWnd* m_pMainWnd = nullptr;
    // The process exit code RunApplication returns once InitInstance is done.
    int m_nExitCode = 0;

    static CWinApp* Current() { return s_pApp; }

private:
    std::wstring m_strAppName;
    static CWinApp* s_pApp;
};

// Runs the application object's start-up routine; the process exit code the application set.
int RunApplication(CWinApp& app);

// The full path of this process's executable; empty when it cannot be read.
std::wstring ExecutablePath();

// A modal message box with OK and the exclamation icon, captioned with the application name.
int AppMessageBox(HWND owner, const std::wstring& text);
