// CFanOwner: taking the fan sets, handing them back, and the guards that cover the time between.
#include "fan/FanOwner.h"

#include "fan/CrashGuard.h"

CFanOwner::CFanOwner(CFanHardware& hardware, CFanWatch& watch) : m_hardware(hardware), m_watch(watch) {}

CFanOwner::~CFanOwner() {
    ClearCrashGuardTarget(this);
}

void CFanOwner::Adopt(bool outer, bool middle) {
    if ((outer || middle) && PrepareTake()) {
        m_bOuterTaken |= outer;
        m_bMiddleTaken |= middle;
    }
}

bool CFanOwner::PrepareTake() {
    if (m_bSessionEnding) {
        return false;
    }
    if (!m_bArmed) {
        // Both guards first: a crash or an end from outside right after the write still hands back.
        // A guardian that cannot start does not stop the user's setting; it is retried, and shown.
        SetCrashGuardTarget(this);
        m_watch.Arm(m_hardware);
        m_bArmed = true;
    }
    return true;
}

bool CFanOwner::SetOuterPercent(int percent) {
    if (!PrepareTake()) {
        return false;
    }
    // Taken as soon as the call is made: a refused call may still have reached some card.
    m_bOuterTaken = true;
    return m_hardware.SetOuterFanPercent(percent);
}

bool CFanOwner::SetMiddleDuty(int duty) {
    if (!PrepareTake()) {
        return false;
    }
    m_bMiddleTaken = true;
    return m_hardware.WriteFixedDuty(duty);
}

bool CFanOwner::SetOuterDefault() {
    const bool written = m_hardware.SetOuterFanDefault();
    if (written && m_hardware.OuterFansAtDefault()) {
        m_bOuterTaken = false;
        StandDownIfBack();
    }
    return written;
}

bool CFanOwner::SetMiddleDefault() {
    const bool written = m_hardware.WriteRegisterDefaults();
    if (written && m_hardware.ChipAtDefaults()) {
        m_bMiddleTaken = false;
        StandDownIfBack();
    }
    return written;
}

void CFanOwner::StandDownIfBack() {
    // While the session may still end or be cancelled, the guardian stays: a cancel brings the
    // settings back, and an end from outside after it must still hand back.
    if (!IsTaken() && m_bArmed && !m_bSessionEnding) {
        m_bArmed = false;
        ClearCrashGuardTarget(this);
        m_watch.StandDown();
    }
}

bool CFanOwner::HandBack() {
    // A set never taken is at its default whatever the driver answers now; it is written back anyway.
    const FanSets check{m_bOuterTaken, m_bMiddleTaken};
    const bool confirmed = HandBackWithin(m_hardware, check, kHandBackBudgetMs);
    if (confirmed) {
        m_bOuterTaken = false;
        m_bMiddleTaken = false;
        StandDownIfBack();
    }
    return confirmed;
}

void CFanOwner::HandBackAfterCrash() {
    m_hardware.HandBack();
}

void CFanOwner::Rearm() {
    if (m_bArmed) {
        m_watch.Arm(m_hardware);
    }
}

void CFanOwner::BeginSessionEnd() {
    m_bSessionEnding = true;
    HandBack();
}

void CFanOwner::EndSession(bool ending) {
    m_bSessionEnding = false;
    if (!ending) {
        return;
    }
    // Normally back since the query; otherwise once more, and the guardian stays if it still fails.
    if (IsTaken()) {
        HandBack();
    } else {
        StandDownIfBack();
    }
}
