// Every way out of the program hands the fans back to the driver and the chip; the close commands
// also put the ULPS switch back when APPLY changed it. The end of the Windows session hands them back
// when it is asked for, and puts the settings back when it is cancelled.
#include "app/VentiqDlg.h"

#include "driver/DisplayRefresh.h"
#include "hw/AmdFanHardware.h"
#include "fan/UlpsKeys.h"

namespace {
// The restarted device settles before the display mode is applied again.
constexpr DWORD kAfterRestartMs = 500;
} // namespace

void CVentiqDlg::RestoreFanDefaults() {
    // Nothing reached the hardware unless the back end came up, and without it there is no library
    // to call. The owner tells the guardian only once the defaults read back; otherwise the guardian
    // tries again after this process has ended.
    if (m_pFanOwner != nullptr) {
        m_pFanOwner->HandBack();
    }
}

void CVentiqDlg::CloseWithRestore(bool endAdlSession) {
    if (m_pFanOwner != nullptr) {
        RestoreFanDefaults();
        if (m_pAmdHardware != nullptr) {
            if (m_bUlpsAtStart != m_bUlpsEnabled) {
                WriteUlpsState(kDisplayClassKey, kAdapterMarkerValue, m_bUlpsAtStart ? 1 : 0);
                RestartDisplayDevice();
                ::Sleep(kAfterRestartMs);
                RefreshDisplayMode();
            }
            if (endAdlSession) {
                m_pAmdHardware->EndSession();
            }
        }
    }
    if (m_pTrayIcon) {
        m_pTrayIcon->DeleteIcon(1);
    }
    CDialog::OnOK();
}

void CVentiqDlg::OnCloseButton() {
    CloseWithRestore(true);
}

void CVentiqDlg::OnTrayClose() {
    // The tray menu leaves the library session open; only CLOSE ends it.
    CloseWithRestore(false);
}

LRESULT CVentiqDlg::OnDestroy(WPARAM, LPARAM) {
    const LRESULT result = Default();
    RestoreFanDefaults();
    if (m_pTrayIcon) {
        m_pTrayIcon->DeleteIcon(1);
    }
    m_pRows = std::vector<DListRow>();
    // The owner goes before the hardware it drives (a later crash has nothing to hand back), and the
    // driver library goes last: NVIDIA's is unloaded by the driver's own call.
    m_pFanOwner.reset();
    m_pAmdHardware = nullptr;
    m_pHardware.reset();
    return result;
}

LRESULT CVentiqDlg::OnQueryEndSession(WPARAM, LPARAM) {
    // The fans go back now, while the process can still act, and stay back until the answer comes.
    if (m_pFanOwner != nullptr) {
        ::KillTimer(m_hWnd, TIMER_DRIVER_WAIT);
        m_pFanOwner->BeginSessionEnd();
    }
    return TRUE;
}

LRESULT CVentiqDlg::OnEndSession(WPARAM wParam, LPARAM) {
    if (m_pFanOwner != nullptr) {
        const bool ending = wParam != FALSE;
        // Ending: back again if anything changed since the query, then the guardian is told. Cancelled
        // by another program: the user's settings go back as after a resume, and stay guarded.
        m_pFanOwner->EndSession(ending);
        if (!ending) {
            WaitForDriver(false);
        }
    }
    return Default();
}
