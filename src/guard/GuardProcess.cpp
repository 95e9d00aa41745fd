// Starting the launcher and the guardian with a private handle list.
#include "guard/GuardProcess.h"

#include "hw/SystemLibrary.h"

#include <vector>

std::wstring GuardianExecutable() {
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

PROCESS_INFORMATION StartGuardianProcess(const std::wstring& exe, const std::wstring& arguments,
                                         const GuardianHandles& handles) {
    PROCESS_INFORMATION info{};
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<unsigned char> memory(size);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(memory.data());
    if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        return info;
    }
    HANDLE inherited[3] = {handles.m_hPipe, handles.m_hVentiq, handles.m_hArmed};
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    // The guardian never shows a window: no busy cursor while Windows waits for one.
    startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
    startup.lpAttributeList = list;
    // Started in the system directory, the guardian holds no other directory open and finds nothing
    // planted in a current directory.
    const std::wstring directory = SystemDirectory();
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    if (::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof(inherited),
                                    nullptr, nullptr)) {
        // A job that ends its processes when it closes would take the guardian with it: it leaves the
        // job where the job allows that, and is started inside it where it does not.
        for (const DWORD breakaway : {static_cast<DWORD>(CREATE_BREAKAWAY_FROM_JOB), DWORD{0}}) {
            if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                 EXTENDED_STARTUPINFO_PRESENT | breakaway, nullptr,
                                 directory.empty() ? nullptr : directory.c_str(), &startup.StartupInfo,
                                 &info)) {
                break;
            }
            info = PROCESS_INFORMATION{};
            if (::GetLastError() != ERROR_ACCESS_DENIED) {
                break;
            }
        }
    }
    ::DeleteProcThreadAttributeList(list);
    return info;
}

DWORD RunLauncher(const GuardianHandles& handles) {
    const PROCESS_INFORMATION info =
        StartGuardianProcess(GuardianExecutable(), GuardianArguments(handles), handles);
    if (info.hProcess == nullptr) {
        return 0;
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return info.dwProcessId;
}
