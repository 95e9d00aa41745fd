// CGuardianLink: starts the guardian with a private pipe and a handle to Ventiq's own process, both
// inherited by the guardian alone.
#include "app/GuardianLink.h"

#include "guard/Guardian.h"

#include <string>
#include <vector>

namespace {
// VentiqGuard.exe in the directory of the running Ventiq.exe.
std::wstring GuardianPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"VentiqGuard.exe";
}

// Starts `exe` with exactly these handles inherited: children that Ventiq starts later (the device
// tool, taskkill) get none of them, and the guardian gets no other.
PROCESS_INFORMATION StartWithHandles(const std::wstring& exe, std::wstring commandLine,
                                     HANDLE (&handles)[2]) {
    PROCESS_INFORMATION info{};
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<unsigned char> memory(size);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(memory.data());
    if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        return info;
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    // The guardian never shows a window: no busy cursor while Windows waits for one.
    startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
    startup.lpAttributeList = list;
    if (::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, sizeof(handles),
                                    nullptr, nullptr) &&
        !::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo, &info)) {
        info = PROCESS_INFORMATION{};
    }
    ::DeleteProcThreadAttributeList(list);
    return info;
}
} // namespace

bool MayRestartGuardian(ULONGLONG nowMs, std::optional<ULONGLONG> lastRestartMs) {
    return !lastRestartMs || nowMs - *lastRestartMs >= kGuardianRestartIntervalMs;
}

void CGuardianLink::Start(const CFanHardware& hardware) {
    m_record = EncodeHandOver(HandOverOf(hardware));
    m_bGuarding = true;
    // A guardian already running holds a session and addresses from before: the new one takes over
    // first, so the fans are never unguarded, then the old one goes without writing. Should the new
    // one not start, the old one stays: an outdated guardian is better than none.
    KernelHandle previousPipe = std::move(m_hPipe);
    KernelHandle previousProcess = std::move(m_hProcess);
    Launch();
    if (!m_hProcess) {
        m_hPipe = std::move(previousPipe);
        m_hProcess = std::move(previousProcess);
    } else if (previousProcess) {
        SayHandedBack(previousPipe.get());
        ::TerminateProcess(previousProcess.get(), kGuardianQuiet);
    }
}

void CGuardianLink::NotifyHandedBack() {
    if (m_bGuarding) {
        m_bGuarding = false;
        SayHandedBack(m_hPipe.get());
    }
}

void CGuardianLink::SayHandedBack(HANDLE pipe) {
    DWORD written = 0;
    ::WriteFile(pipe, kFansHandedBack.data(), static_cast<DWORD>(kFansHandedBack.size()), &written, nullptr);
}

void CGuardianLink::RestartIfEnded() {
    if (!m_bGuarding || (m_hProcess && ::WaitForSingleObject(m_hProcess.get(), 0) == WAIT_TIMEOUT)) {
        return;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (MayRestartGuardian(now, m_nLastRestartMs)) {
        m_nLastRestartMs = now;
        m_hProcess.reset();
        m_hPipe.reset();
        Launch();
    }
}

void CGuardianLink::Launch() {
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, nullptr, 0)) {
        return;
    }
    const KernelHandle pipeForGuardian(readEnd);
    KernelHandle pipe(writeEnd);
    HANDLE self = nullptr;
    // The guardian waits for this process to end: that is the signal, whoever else might hold the pipe.
    if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), &self,
                           SYNCHRONIZE, TRUE, 0)) {
        return;
    }
    const KernelHandle ventiqForGuardian(self);
    if (!::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
        return;
    }
    const std::wstring exe = GuardianPath();
    HANDLE inherited[2] = {readEnd, self};
    const PROCESS_INFORMATION info =
        StartWithHandles(exe, L"\"" + exe + L"\" " + GuardianArguments(readEnd, self), inherited);
    if (info.hProcess == nullptr) {
        return;
    }
    ::CloseHandle(info.hThread);
    m_hProcess.reset(info.hProcess);
    m_hPipe = std::move(pipe);
    // Far smaller than the pipe's buffer: the write never waits for the guardian.
    DWORD written = 0;
    ::WriteFile(m_hPipe.get(), m_record.data(), static_cast<DWORD>(m_record.size()), &written, nullptr);
}
