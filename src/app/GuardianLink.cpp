// CGuardianLink: starts the guardian through its launcher with a private pipe, a handle to Ventiq's
// own process and an "armed" event, all three inherited by the launcher and the guardian alone.
#include "app/GuardianLink.h"

#include "guard/GuardProcess.h"
#include "guard/Guardian.h"

#include <cwchar>
#include <string>

namespace {
// How long the launcher and then the guardian's driver session may take before the start counts as
// failed.
constexpr DWORD kLaunchWaitMs = 5000;
constexpr DWORD kArmWaitMs = 5000;

// Whether the process runs VentiqGuard.exe: the launcher answers with a process id, and a guardian
// that ended at once could in principle have handed its id on before it is opened.
bool IsGuardianProcess(HANDLE process) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!::QueryFullProcessImageNameW(process, 0, path, &length)) {
        return false;
    }
    const wchar_t* name = std::wcsrchr(path, L'\\');
    return _wcsicmp(name != nullptr ? name + 1 : path, L"VentiqGuard.exe") == 0;
}

bool HasEnded(HANDLE process) {
    return process == nullptr || ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
}
} // namespace

bool MayRetryGuardian(ULONGLONG nowMs, std::optional<ULONGLONG> lastFailureMs) {
    return !lastFailureMs || nowMs - *lastFailureMs >= kGuardianRetryIntervalMs;
}

bool CGuardianLink::Arm(const CFanHardware& hardware) {
    m_record = EncodeHandOver(HandOverOf(hardware));
    m_bWanted = true;
    return Replace();
}

bool CGuardianLink::Replace() {
    CGuardian fresh = Launch();
    if (!fresh.m_hProcess) {
        m_nLastFailureMs = ::GetTickCount64();
        m_bOutdated = !HasEnded(m_current.m_hProcess.get());
        return false;
    }
    Retire(m_current);
    m_current = std::move(fresh);
    m_bOutdated = false;
    m_nLastFailureMs.reset();
    return true;
}

void CGuardianLink::StandDown() {
    m_bWanted = false;
    m_bOutdated = false;
    Retire(m_current);
}

void CGuardianLink::Retire(CGuardian& guardian) {
    if (guardian.m_hPipe) {
        DWORD written = 0;
        ::WriteFile(guardian.m_hPipe.get(), kFansHandedBack.data(), static_cast<DWORD>(kFansHandedBack.size()),
                    &written, nullptr);
    }
    // It would end with Ventiq without a write; it is not left waiting until then.
    if (guardian.m_hProcess) {
        ::TerminateProcess(guardian.m_hProcess.get(), kGuardianQuiet);
    }
    guardian = CGuardian{};
}

void CGuardianLink::Watch() {
    if (!m_bWanted) {
        return;
    }
    // Whatever ended an armed guardian may end the next one too, but the fans are not left unguarded
    // while there is a chance.
    const bool ended = m_current.m_hProcess && HasEnded(m_current.m_hProcess.get());
    if (ended) {
        m_current = CGuardian{};
        Replace();
    } else if ((!m_current.m_hProcess || m_bOutdated) &&
               MayRetryGuardian(::GetTickCount64(), m_nLastFailureMs)) {
        Replace();
    }
}

bool CGuardianLink::IsGuarding() const {
    return m_bWanted && !HasEnded(m_current.m_hProcess.get());
}

CGuardianLink::CGuardian CGuardianLink::Launch() const {
    CGuardian guardian;
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, nullptr, 0)) {
        return guardian;
    }
    const KernelHandle pipeForGuardian(readEnd);
    KernelHandle pipe(writeEnd);
    // The record is in the pipe before any guardian runs. Far smaller than the pipe's buffer: the
    // write never waits.
    DWORD written = 0;
    if (!::WriteFile(writeEnd, m_record.data(), static_cast<DWORD>(m_record.size()), &written, nullptr) ||
        !::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
        return guardian;
    }
    HANDLE self = nullptr;
    // The guardian waits for this process to end: that is the signal, whoever else might hold the pipe.
    if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), &self,
                           SYNCHRONIZE, TRUE, 0)) {
        return guardian;
    }
    const KernelHandle ventiqForGuardian(self);
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    const KernelHandle armed(::CreateEventW(&inheritable, TRUE, FALSE, nullptr));
    if (!armed) {
        return guardian;
    }
    const GuardianHandles handles{readEnd, self, armed.get()};
    const PROCESS_INFORMATION launcher =
        StartGuardianProcess(GuardianExecutable(), kLauncherSwitch + GuardianArguments(handles), handles);
    if (launcher.hProcess == nullptr) {
        return guardian;
    }
    ::CloseHandle(launcher.hThread);
    const KernelHandle launcherProcess(launcher.hProcess);
    DWORD guardianId = 0;
    if (::WaitForSingleObject(launcher.hProcess, kLaunchWaitMs) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(launcher.hProcess, &guardianId) || guardianId == 0) {
        ::TerminateProcess(launcher.hProcess, kGuardianRefused);
        return guardian;
    }
    KernelHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, guardianId));
    if (!process || !IsGuardianProcess(process.get())) {
        return guardian;
    }
    HANDLE waits[2] = {armed.get(), process.get()};
    if (::WaitForMultipleObjects(2, waits, FALSE, kArmWaitMs) != WAIT_OBJECT_0) {
        // It refused the record, found no driver, or is still not armed: it goes, and writes nothing.
        ::TerminateProcess(process.get(), kGuardianQuiet);
        return guardian;
    }
    guardian.m_hPipe = std::move(pipe);
    guardian.m_hProcess = std::move(process);
    return guardian;
}
