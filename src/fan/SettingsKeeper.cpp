// CSettingsKeeper: lost, written, confirmed.
#include "fan/SettingsKeeper.h"

void CSettingsKeeper::MarkLost(bool reconnect) {
    m_state = State::Lost;
    m_bReconnect |= reconnect;
    m_nChecks = 0;
}

void CSettingsKeeper::Forget() {
    m_state = State::Kept;
    m_bReconnect = false;
    m_nFailedReads = 0;
    m_nChecks = 0;
}

KeeperAction CSettingsKeeper::Probe(bool driverAnswers, bool sessionLost) {
    if (sessionLost) {
        MarkLost(true);
        return KeeperAction::Reconnect;
    }
    if (!driverAnswers) {
        if (m_state == State::Kept) {
            ++m_nFailedReads;
        }
        return KeeperAction::None;
    }
    if (m_state == State::Kept && m_nFailedReads >= 2) {
        MarkLost(true);
    }
    m_nFailedReads = 0;
    switch (m_state) {
    case State::Lost:
        return m_bReconnect ? KeeperAction::Reconnect : KeeperAction::Write;
    case State::Verifying:
        return KeeperAction::Verify;
    case State::Kept:
        break;
    }
    return KeeperAction::None;
}

KeeperAction CSettingsKeeper::Reconnected(Reconnection found, bool driverAnswers) {
    switch (found) {
    case Reconnection::Failed:
        return KeeperAction::None;
    case Reconnection::CardsChanged:
        Forget();
        return KeeperAction::CardsChanged;
    case Reconnection::SameCards:
        break;
    }
    m_bReconnect = false;
    return driverAnswers ? KeeperAction::Write : KeeperAction::None;
}

KeeperAction CSettingsKeeper::Written(bool ready) {
    if (ready) {
        m_state = State::Verifying;
    }
    return KeeperAction::None;
}

KeeperAction CSettingsKeeper::Checked(bool onHardware) {
    if (onHardware) {
        m_state = State::Kept;
        m_nChecks = 0;
        return KeeperAction::None;
    }
    if (++m_nChecks >= kMaxChecks) {
        Forget();
        return KeeperAction::GiveUp;
    }
    // The driver took the settings back (or never took them): written again, checked at the next probe.
    return KeeperAction::Write;
}
