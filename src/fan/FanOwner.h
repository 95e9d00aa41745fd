// CFanOwner: the one owner of "the fans are ours". Every write that takes a fan set from its default
// control goes through it; it arms the crash guard and the guardian before the first such write and
// keeps them armed until a hand-back is confirmed; its hand-back is the program's only one.
#pragma once
#include "hw/FanHardware.h"

// What stands guard over taken fans from outside the process: the guardian.
class CFanWatch {
public:
    virtual ~CFanWatch() = default;
    // Guard these fans (again, with the session's current addresses); false when it could not.
    virtual bool Arm(const CFanHardware& hardware) = 0;
    // The fans are back for good: stop guarding.
    virtual void StandDown() = 0;
};

// How long a hand-back keeps trying while the driver refuses: a restarting driver or a busy I2C bus
// comes back within a few seconds, and Windows waits about five for a session to end.
constexpr DWORD kHandBackBudgetMs = 4000;

class CFanOwner {
public:
    CFanOwner(CFanHardware& hardware, CFanWatch& watch);
    ~CFanOwner();
    CFanOwner(const CFanOwner&) = delete;
    CFanOwner& operator=(const CFanOwner&) = delete;

    // Sets found away from their defaults at start-up (a fixed speed left behind) are taken from now on.
    void Adopt(bool outer, bool middle);

    // Take a set: the outer fans at a fixed percentage, the middle fan at a fixed chip duty. False when
    // the driver refused the write, or while the session ends (nothing is written then).
    bool SetOuterPercent(int percent);
    bool SetMiddleDuty(int duty);
    // Give one set back to its default control; it stays taken until its default reads back. When
    // nothing is taken any more, the guards stand down. False when the driver refused.
    bool SetOuterDefault();
    bool SetMiddleDefault();

    // Both sets back, read back and retried for a few seconds; the guards stand down only once that is
    // confirmed (and not while the end of the session is pending). False when it was not confirmed.
    bool HandBack();
    // From the crash guard: one attempt with what is in memory, no retry, no guardian message.
    void HandBackAfterCrash();

    // The driver session was renewed: the guardian, if it guards, gets the cards' new addresses.
    void Rearm();

    // Windows asks whether the session may end: the fans go back, and nothing takes them until it
    // ends or is cancelled. The guardian stays armed meanwhile.
    void BeginSessionEnd();
    // The session ends (true): the fans go back again unless confirmed back already, then the guards
    // stand down. Cancelled (false): sets may be taken again; the guardian stays armed.
    void EndSession(bool ending);
    bool IsSessionEnding() const { return m_bSessionEnding; }

    bool IsTaken() const { return m_bOuterTaken || m_bMiddleTaken; }
    bool IsArmed() const { return m_bArmed; }

private:
    // Arms the guards before a set is taken; false when takes are refused.
    bool PrepareTake();
    // Stands the guards down once every set is confirmed at its default.
    void StandDownIfBack();

    CFanHardware& m_hardware;
    CFanWatch& m_watch;
    // A set is taken from the first write that may have moved it until its default is read back.
    bool m_bOuterTaken = false;
    bool m_bMiddleTaken = false;
    bool m_bArmed = false;
    bool m_bSessionEnding = false;
};
