// CVentiqDlg: when the window shows: hidden after a start in the tray, brought forward by a second start.
#include "app/VentiqDlg.h"

#include "app/SingleInstance.h"

LRESULT CVentiqDlg::OnWindowPosChanging(WPARAM, LPARAM lParam) {
    // The dialog loop shows the window when it starts, whatever the start asked for.
    if (m_bStayHidden) {
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    }
    return Default();
}

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
