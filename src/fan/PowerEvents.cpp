// Sleep, resume and display-driver restarts: the board comes back with its fans under the driver and
// the chip at its power-on registers, so the user's manual settings are written again as soon as the
// driver answers. The tick also puts the readings into the tray tip.
#include "app/VentiqDlg.h"

namespace {
// The driver is probed this often after a resume, for at most this many times (a few seconds);
// afterwards the readings tick notices when it answers again.
constexpr UINT kDriverWaitMs = 500;
constexpr int kDriverWaitTries = 10;
constexpr size_t kTipCapacity = sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) - 1;
} // namespace

LRESULT CVentiqDlg::OnPowerBroadcast(WPARAM wParam, LPARAM) {
    switch (wParam) {
    case PBT_APMSUSPEND:
        // The board is about to lose power: writing now would be lost too.
        ::KillTimer(m_hWnd, TIMER_DRIVER_WAIT);
        m_bSettingsLost = false;
        m_bResumeHandled = false;
        break;
    case PBT_APMRESUMEAUTOMATIC:
        // Sent on every resume; a user's resume adds PBT_APMRESUMESUSPEND after it.
        m_bResumeHandled = true;
        WaitForDriver();
        break;
    case PBT_APMRESUMESUSPEND:
        if (!m_bResumeHandled) {
            m_bResumeHandled = true;
            WaitForDriver();
        }
        break;
    default:
        break;
    }
    return TRUE;
}

LRESULT CVentiqDlg::OnDisplayChange(WPARAM, LPARAM) {
    // A display-driver restart changes the display too and leaves the fans to the driver. A plain
    // mode change only gets the same settings written again.
    WaitForDriver();
    return Default();
}

bool CVentiqDlg::DriverAnswers() {
    return m_pHardware != nullptr && m_pHardware->ReadGpuTemperature().has_value();
}

void CVentiqDlg::WaitForDriver() {
    if (m_bFanControl == 0) {
        return;
    }
    m_bSettingsLost = true;
    m_nDriverWaitTries = 0;
    ::SetTimer(m_hWnd, TIMER_DRIVER_WAIT, kDriverWaitMs, nullptr);
}

void CVentiqDlg::OnDriverWaitTimer() {
    if (DriverAnswers()) {
        ReapplyUserSettings();
    } else if (++m_nDriverWaitTries >= kDriverWaitTries) {
        // Still refusing: the tick takes over and writes once a reading succeeds again.
        ::KillTimer(m_hWnd, TIMER_DRIVER_WAIT);
    }
}

void CVentiqDlg::ReapplyUserSettings() {
    // Once only, before anything that could let a tick or this timer in again (the protection
    // message runs a modal loop).
    ::KillTimer(m_hWnd, TIMER_DRIVER_WAIT);
    m_bSettingsLost = false;
    if (!m_bAuto1 && m_nOuterPercentApplied) {
        ApplyOuterFans(*m_nOuterPercentApplied);
    }
    if (!m_bAuto2 && m_bControllerPresent && m_nMiddlePercentApplied) {
        ApplyMiddleFan(*m_nMiddlePercentApplied);
    }
}

void CVentiqDlg::FollowReadings() {
    if (m_bFanControl != 0) {
        if (!m_lastReadings.m_nGpuDegrees) {
            // The temperature read failed: the driver may be restarting and forget the settings.
            m_bSettingsLost = true;
        } else if (m_bSettingsLost) {
            ReapplyUserSettings();
        }
    }
    if (m_pTrayIcon) {
        m_pTrayIcon->SetTip(TrayTipText(m_lastReadings, kTipCapacity));
    }
}
