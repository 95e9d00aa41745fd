// Every way out of the program hands the fans back to the driver and the chip; the close commands
// also put the ULPS switch back when APPLY changed it.
#include "app/VentiqDlg.h"

#include "driver/DisplayRefresh.h"
#include "fan/CrashGuard.h"
#include "hw/AmdFanHardware.h"
#include "fan/UlpsKeys.h"

namespace {
// The restarted device settles before the display mode is applied again.
constexpr DWORD kAfterRestartMs = 500;
} // namespace

void CVentiqDlg::RestoreFanDefaults() {
    // Nothing reached the hardware unless the back end came up, and without it there is no library
    // to call.
    if (m_pHardware != nullptr) {
        m_pHardware->HandBack();
    }
}

void CVentiqDlg::CloseWithRestore(bool endAdlSession) {
    if (m_bFanControl != 0) {
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
    // The fans are back at their defaults and this object is about to go: a later crash has nothing
    // to hand back, and neither has the guardian.
    SetCrashGuardTarget(nullptr);
    m_guardian.NotifyHandedBack();
    if (m_pTrayIcon) {
        m_pTrayIcon->DeleteIcon(1);
    }
    m_pRows = std::vector<DListRow>();
    // The driver library goes last: NVIDIA's is unloaded by the driver's own call.
    m_pAmdHardware = nullptr;
    m_pHardware.reset();
    return result;
}

LRESULT CVentiqDlg::OnQueryEndSession(WPARAM, LPARAM) {
    if (m_bFanControl != 0) {
        RestoreFanDefaults();
    }
    return TRUE;
}

LRESULT CVentiqDlg::OnEndSession(WPARAM wParam, LPARAM) {
    // The session really ends: the query has handed the fans back, and the process is ended next.
    if (wParam != FALSE) {
        m_guardian.NotifyHandedBack();
    }
    return Default();
}
