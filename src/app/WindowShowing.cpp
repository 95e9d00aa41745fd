// CVentiqDlg: when the window shows: brought forward by a second start.
#include "app/VentiqDlg.h"

#include "app/SingleInstance.h"

LRESULT CVentiqDlg::OnShowRunningInstance(WPARAM, LPARAM) {
    // Before its set-up the window has nothing to show: a start-up message is brought forward alone.
    if (m_pTrayIcon != nullptr) {
        if (::IsIconic(m_hWnd)) {
            ShowWindow(SW_RESTORE);
        }
        OnShowCommand();
    }
    ::SetForegroundWindow(::GetLastActivePopup(m_hWnd));
    return 0;
}
