// Crash guard: a crashed process still hands the fans back to their default control, once.
#include "fan/CrashGuard.h"

#include "fan/FanOwner.h"

#include <cstdlib>
#include <exception>

namespace {
// Written on the user-interface thread, read by whichever thread crashes.
CFanOwner* volatile g_pTarget = nullptr;
volatile LONG g_nEntered = 0;
// The C runtime's report of an invalid parameter, as Windows names it.
constexpr DWORD kInvalidCrtParameter = 0xC0000417;
// What a fail-fast end reports when it has no exception record of its own.
constexpr DWORD kFailFast = 0xC0000602;

// Runs the restore at most once. A fault inside it comes back here and ends the process at once:
// a crashed process must never loop or hang.
void HandBackFans(DWORD exitCodeOnSecondFault) {
    if (::InterlockedExchange(&g_nEntered, 1) != 0) {
        ::TerminateProcess(::GetCurrentProcess(), exitCodeOnSecondFault);
    }
    // Only calls into the already loaded driver libraries with data already in memory: no window
    // messages, no message boxes.
    CFanOwner* target = g_pTarget;
    g_pTarget = nullptr;
    if (target != nullptr) {
        target->HandBackAfterCrash();
    }
}

// Ends the process as the crash it is, so Windows Error Reporting still sees it.
void EndAsCrash() {
    ::RaiseFailFastException(nullptr, nullptr, 0);
    ::TerminateProcess(::GetCurrentProcess(), kFailFast);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
    HandBackFans(exception->ExceptionRecord->ExceptionCode);
    // Let the system's own handling end the process with the exception's code.
    return EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate() {
    HandBackFans(kFailFast);
    EndAsCrash();
}

void __cdecl OnInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int, uintptr_t) {
    HandBackFans(kInvalidCrtParameter);
    EndAsCrash();
}

void __cdecl OnPureCall() {
    HandBackFans(kFailFast);
    EndAsCrash();
}
} // namespace

void InstallCrashGuard() {
    ::SetUnhandledExceptionFilter(&OnUnhandledException);
    std::set_terminate(&OnTerminate);
    _set_invalid_parameter_handler(&OnInvalidParameter);
    _set_purecall_handler(&OnPureCall);
}

void SetCrashGuardTarget(CFanOwner* owner) {
    g_pTarget = owner;
}

void ClearCrashGuardTarget(const CFanOwner* owner) {
    if (g_pTarget == owner) {
        g_pTarget = nullptr;
    }
}
