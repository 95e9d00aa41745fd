// CSettingsKeeper: when the user's fan settings must be written to the hardware again, and whether
// they have stuck. Sleep, a display-driver restart or a cancelled end of the session leave the fans
// to the driver; the keeper decides, probe by probe, what the window does about it.
#pragma once
#include "hw/FanHardware.h"

enum class KeeperAction {
    None,         // nothing to do now
    Reconnect,    // renew the driver session, then report Reconnected
    Write,        // write the settings last applied, then report Written
    Verify,       // read back what was written, then report Checked
    CardsChanged, // other cards answer after the reconnect: hand the fans back and say so
    GiveUp,       // the settings did not stick after several tries: say so
};

class CSettingsKeeper {
public:
    // The hardware may have dropped the settings; with `reconnect` the driver session is renewed first.
    void MarkLost(bool reconnect);
    // A suspend: nothing written now would survive; the resume marks the settings lost again.
    void Forget();
    // The driver's temperature read of a tick or of a driver-wait probe answered or not; a session the
    // driver declared stale needs a reconnect whatever it answers. One failed read is not a restart:
    // two in a row, then an answer, are.
    KeeperAction Probe(bool driverAnswers, bool sessionLost);
    KeeperAction Reconnected(Reconnection found, bool driverAnswers);
    // `ready` false: a reading the writes depend on was not there yet; written at the next probe.
    KeeperAction Written(bool ready);
    KeeperAction Checked(bool onHardware);

    // Settings are waiting to go back (not yet written, or written and not yet confirmed).
    bool IsPending() const { return m_state != State::Kept; }

private:
    enum class State { Kept, Lost, Verifying };
    // How many read-backs may disagree before the keeper gives up until the next event: some
    // seconds of a driver that refuses writes or takes its fans back.
    static constexpr int kMaxChecks = 10;

    State m_state = State::Kept;
    bool m_bReconnect = false;
    int m_nFailedReads = 0;
    int m_nChecks = 0;
};
