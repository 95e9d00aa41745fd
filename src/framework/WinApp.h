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

    static CWinApp* Current() { return s_pApp; }

private:
    std::wstring m_strAppName;
    static CWinApp* s_pApp;
};

// Runs the application object's start-up routine; the process exit code.
int RunApplication(CWinApp& app);

// A modal message box with OK and the exclamation icon, captioned with the application name.
int AppMessageBox(HWND owner, const std::wstring& text);
