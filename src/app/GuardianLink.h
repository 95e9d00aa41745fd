// CGuardianLink: Ventiq's end of its guardian process (VentiqGuard.exe beside Ventiq.exe), which hands
// the fans back when Ventiq is ended from outside. The window owns one.
#pragma once
#include "guard/HandOver.h"

#include <windows.h>

#include <memory>
#include <optional>

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<void, KernelHandleCloser>;

// A guardian that was ended is started again at most once a minute, so one that cannot start (no
// driver session of its own, say) does not cost a process start every second.
constexpr ULONGLONG kGuardianRestartIntervalMs = 60000;
bool MayRestartGuardian(ULONGLONG nowMs, std::optional<ULONGLONG> lastRestartMs);

class CGuardianLink {
public:
    CGuardianLink() = default;
    CGuardianLink(const CGuardianLink&) = delete;
    CGuardianLink& operator=(const CGuardianLink&) = delete;

    // Starts the guardian for these fans: once the vendor back end is up, before any fan can change,
    // and again whenever the driver's session or the cards' addresses were renewed.
    void Start(const CFanHardware& hardware);
    // Every fan is back in default control for good: the guardian ends with Ventiq without writing
    // anything, and is not started again.
    void NotifyHandedBack();
    // Called once a second: a guardian that has ended while Ventiq runs is started again.
    void RestartIfEnded();

private:
    // Starts a guardian with the record; leaves the handles empty when it cannot.
    void Launch();
    static void SayHandedBack(HANDLE pipe);

    HandOverBytes m_record{};
    bool m_bGuarding = false;
    // The pipe's write end: never inheritable, so no other process can speak to the guardian.
    KernelHandle m_hPipe;
    KernelHandle m_hProcess;
    std::optional<ULONGLONG> m_nLastRestartMs;
};
