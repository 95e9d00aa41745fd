// CGuardianLink: Ventiq's end of its guardian process (VentiqGuard.exe beside Ventiq.exe), which hands
// the fans back when Ventiq is ended from outside. The owner of the fans arms it while they are taken.
#pragma once
#include "fan/FanOwner.h"
#include "guard/HandOver.h"

#include <windows.h>

#include <memory>
#include <optional>

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<void, KernelHandleCloser>;

// A guardian that could not arm (no driver session of its own, say) is tried again at most once a
// minute, so it does not cost a process start every second.
constexpr ULONGLONG kGuardianRetryIntervalMs = 60000;
bool MayRetryGuardian(ULONGLONG nowMs, std::optional<ULONGLONG> lastFailureMs);

class CGuardianLink final : public CFanWatch {
public:
    CGuardianLink() = default;
    CGuardianLink(const CGuardianLink&) = delete;
    CGuardianLink& operator=(const CGuardianLink&) = delete;

    // Starts a guardian for these fans and waits, a few seconds at most, until it holds its own driver
    // session; only then is the guardian before it retired. When the new one does not arm, the one
    // before stays (an outdated guardian is better than none) and false is returned.
    bool Arm(const CFanHardware& hardware) override;
    // The fans are back: the guardian is told so and ended.
    void StandDown() override;
    // Once a tick while armed: a guardian that was ended is replaced at once; one that could not arm,
    // or an outdated one, is tried again at most once a minute.
    void Watch();
    // Whether a guardian holds a driver session for the fans now, while they are to be guarded.
    bool IsGuarding() const;

private:
    struct CGuardian {
        // The pipe's write end: never inheritable, so no other process can speak to the guardian.
        KernelHandle m_hPipe;
        KernelHandle m_hProcess;
    };
    // A guardian started with the record and armed; empty handles when it did not arm.
    CGuardian Launch() const;
    // Starts a fresh guardian and retires the current one once the fresh one is armed.
    bool Replace();
    static void Retire(CGuardian& guardian);

    HandOverBytes m_record{};
    bool m_bWanted = false;
    CGuardian m_current;
    // The running guardian holds a record older than m_record (a re-arm did not take).
    bool m_bOutdated = false;
    std::optional<ULONGLONG> m_nLastFailureMs;
};
