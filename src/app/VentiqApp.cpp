// CVentiqApp: process-wide start-up before the main window exists.
#include "app/VentiqApp.h"

#include "app/SingleInstance.h"
#include "app/StartRequest.h"
#include "app/StartupTask.h"
#include "app/VentiqDlg.h"
#include "fan/CrashGuard.h"
#include "hw/SystemLibrary.h"

#include <commctrl.h>

namespace {
const wchar_t kUsageText[] = L"Ventiq knows these options:\r\n\r\n"
                             L"/tray\tstart hidden in the notification area\r\n"
                             L"/startup on\tstart Ventiq when you sign in to Windows\r\n"
                             L"/startup off\tdo not start Ventiq with Windows";
} // namespace

BOOL CVentiqApp::InitInstance() {
    RestrictDllSearchToSystem();
    // The start-up switch acts and ends: it is no instance of the program and touches no fan.
    const StartRequest request = ParseStartRequest(ProcessArguments());
    if (request == StartRequest::StartupOn || request == StartRequest::StartupOff) {
        m_nExitCode = SetStartWithWindows(request == StartRequest::StartupOn, nullptr) ? 0 : 1;
        return FALSE;
    }
    if (request == StartRequest::Unknown) {
        AppMessageBox(nullptr, kUsageText);
        m_nExitCode = 1;
        return FALSE;
    }
    // Decided before anything reaches the driver; the mutex is held until the window has ended.
    const CSingleInstance instance;
    if (instance.IsSecond()) {
        ShowRunningInstance();
        return FALSE;
    }
    InstallCrashGuard();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    CVentiqDlg dialog;
    dialog.m_bStayHidden = request == StartRequest::Tray;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
