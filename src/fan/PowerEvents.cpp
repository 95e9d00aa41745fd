// Sleep, resume and display-driver restarts: the board comes back with its fans under the driver and
// the chip at its power-on registers, and the driver may have renumbered its adapters or invalidated
// its handles. The settings last applied go back once the driver answers, over a renewed session,
// and are read back until they stick. Nothing here opens a message box: it runs from timers, maybe
// behind a full-screen game. The tick also puts the readings into the tray tip.
#include "app/VentiqDlg.h"

#include "fan/FanControls.h"
#include "hw/DutyConversion.h"

namespace {
// The driver is probed this often after a resume, for at most this many times (a few seconds);
// afterwards the readings tick probes it once a second.
constexpr UINT kDriverWaitMs = 500;
constexpr int kDriverWaitTries = 10;
constexpr size_t kTipCapacity = sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) - 1;

const wchar_t kHotModuleText[] =
    L"The PWM module is hot: the middle fan is back on its automatic control.";
const wchar_t kNotRestoredText[] =
    L"Your fan settings could not be put back after the driver restarted. Press APPLY to try again.";
const wchar_t kCardsChangedText[] =
    L"The graphics cards changed after the driver restarted: the fans are back on their automatic "
    L"control.";
} // namespace

LRESULT CVentiqDlg::OnPowerBroadcast(WPARAM wParam, LPARAM) {
    switch (wParam) {
    case PBT_APMSUSPEND:
        // The board is about to lose power: writing now would be lost too.
        ::KillTimer(m_hWnd, TIMER_DRIVER_WAIT);
        m_keeper.Forget();
        m_bResumeHandled = false;
        break;
    case PBT_APMRESUMEAUTOMATIC:
        // Sent on every resume; a user's resume adds PBT_APMRESUMESUSPEND after it.
        m_bResumeHandled = true;
        WaitForDriver(true);
        break;
    case PBT_APMRESUMESUSPEND:
        if (!m_bResumeHandled) {
            m_bResumeHandled = true;
            WaitForDriver(true);
        }
        break;
    default:
        break;
    }
    return TRUE;
}

LRESULT CVentiqDlg::OnDisplayChange(WPARAM, LPARAM) {
    // A display-driver restart changes the display too and leaves the fans to the driver. A plain
    // mode change only renews the session and writes the same settings again.
    WaitForDriver(true);
    return Default();
}

bool CVentiqDlg::DriverAnswers() {
    return m_pHardware != nullptr && m_pHardware->ReadGpuTemperature().has_value();
}

void CVentiqDlg::WaitForDriver(bool reconnect) {
    if (m_pFanOwner == nullptr) {
        return;
    }
    m_keeper.MarkLost(reconnect);
    m_nDriverWaitTries = 0;
    ::SetTimer(m_hWnd, TIMER_DRIVER_WAIT, kDriverWaitMs, nullptr);
}

void CVentiqDlg::OnDriverWaitTimer() {
    KeepSettings(DriverAnswers());
    if (!m_keeper.IsPending() || ++m_nDriverWaitTries >= kDriverWaitTries) {
        // Done, or still refusing: the tick goes on probing once a second.
        ::KillTimer(m_hWnd, TIMER_DRIVER_WAIT);
    }
}

void CVentiqDlg::KeepSettings(bool driverAnswers) {
    // While the session may end, nothing takes the fans again.
    if (m_pFanOwner == nullptr || m_pFanOwner->IsSessionEnding()) {
        return;
    }
    KeeperAction action = m_keeper.Probe(driverAnswers, m_pHardware->SessionLost());
    while (action != KeeperAction::None) {
        switch (action) {
        case KeeperAction::Reconnect: {
            const Reconnection found = m_pHardware->Reconnect();
            if (found == Reconnection::SameCards) {
                // The guardian's session is as old as this one was.
                m_pFanOwner->Rearm();
            }
            action = m_keeper.Reconnected(found, DriverAnswers());
            break;
        }
        case KeeperAction::Write:
            action = m_keeper.Written(WriteAppliedSettings());
            break;
        case KeeperAction::Verify:
            action = m_keeper.Checked(AppliedSettingsOnHardware());
            break;
        case KeeperAction::CardsChanged:
            OnCardsChanged();
            action = KeeperAction::None;
            break;
        case KeeperAction::GiveUp:
            Notify(kNotRestoredText);
            action = KeeperAction::None;
            break;
        case KeeperAction::None:
            break;
        }
    }
}

bool CVentiqDlg::WriteAppliedSettings() {
    // What was applied, never what the window shows pending: a toggle not yet applied is not the
    // user's setting yet. Automatic sets need nothing: the driver and the chip run them after a reset.
    const bool middleManual = m_middleApplied.m_mode == FanMode::Manual && m_bControllerPresent;
    const bool middleCurve = m_middleApplied.m_mode == FanMode::Curve && m_bControllerPresent;
    const Protection protection = middleManual ? CheckProtection() : Protection::Clear;
    // The chip's line may answer later than the driver after a resume: not ready yet, and nothing is
    // written until both are. A curve follows that very temperature.
    if (protection == Protection::Unreadable ||
        (middleCurve && !m_pHardware->ReadChip(kChipRegPwmTemperature))) {
        return false;
    }
    if (m_outerApplied.m_mode == FanMode::Manual) {
        m_pFanOwner->SetOuterPercent(m_outerApplied.m_nPercent);
    } else if (m_outerApplied.m_mode == FanMode::Curve) {
        StartOuterCurve();
    }
    if (protection == Protection::Hot) {
        // Set, not toggled: the middle fan is automatic from now on, as the user is told.
        m_middleApplied.m_mode = FanMode::Automatic;
        SetMiddleMode(FanMode::Automatic);
        ShowApply(m_btnApply, false);
        ShowReset(m_btnReset, m_outerMode != FanMode::Automatic);
        m_pFanOwner->SetMiddleDefault();
        Notify(kHotModuleText);
    } else if (middleManual) {
        m_pFanOwner->SetMiddleDuty(PercentToDuty(m_middleApplied.m_nPercent));
    } else if (middleCurve) {
        StartMiddleCurve();
    }
    return true;
}

namespace {
// The percentage a set should hold now: its manual one, or its curve's output; nothing to check for
// an automatic set or a curve that yielded to the default control.
std::optional<int> HeldPercent(const FanSetting& applied, const CCurveFollower& curve) {
    switch (applied.m_mode) {
    case FanMode::Manual:
        return applied.m_nPercent;
    case FanMode::Curve:
        return curve.Output();
    case FanMode::Automatic:
        break;
    }
    return std::nullopt;
}
} // namespace

bool CVentiqDlg::AppliedSettingsOnHardware() {
    const std::optional<int> outer = HeldPercent(m_outerApplied, m_outerCurve);
    const std::optional<int> middle = m_bControllerPresent ? HeldPercent(m_middleApplied, m_middleCurve) : std::nullopt;
    return (!outer || m_pHardware->OuterFansAt(*outer)) &&
           (!middle || m_pHardware->ChipAtDuty(PercentToDuty(*middle)));
}

void CVentiqDlg::OnCardsChanged() {
    m_pFanOwner->HandBack();
    m_outerApplied.m_mode = FanMode::Automatic;
    m_middleApplied.m_mode = FanMode::Automatic;
    SetOuterMode(FanMode::Automatic);
    if (m_bControllerPresent) {
        SetMiddleMode(FanMode::Automatic);
    }
    ShowApply(m_btnApply, false);
    ShowReset(m_btnReset, false);
    Notify(kCardsChangedText);
}

void CVentiqDlg::Notify(const std::wstring& text) {
    if (m_pTrayIcon) {
        m_pTrayIcon->ShowBalloon(text);
    }
}

void CVentiqDlg::FollowReadings() {
    KeepSettings(m_lastReadings.m_nGpuDegrees.has_value());
    FollowCurves();
    m_guardian.Watch();
    if (m_pTrayIcon) {
        if (!m_pTrayIcon->IsIconShown()) {
            // Explorer may have been busy when the icon was first added (at sign-in, say).
            m_pTrayIcon->ShowIcon();
        }
        const bool unguarded = m_pFanOwner != nullptr && m_pFanOwner->IsArmed() && !m_guardian.IsGuarding();
        m_pTrayIcon->SetTip(TrayTipText(m_lastReadings, unguarded, kTipCapacity));
    }
}
