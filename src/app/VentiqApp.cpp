// CVentiqApp: process-wide start-up before the main window exists.
#include "app/VentiqApp.h"

#include "app/VentiqDlg.h"
#include "fan/CrashGuard.h"
#include "hw/SystemLibrary.h"

#include <commctrl.h>

BOOL CVentiqApp::InitInstance() {
    RestrictDllSearchToSystem();
    InstallCrashGuard();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    CVentiqDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
