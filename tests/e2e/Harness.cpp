// Whole-program test harness: installation, process control and window inspection.
#include "Harness.h"

#include <process.h>
#include <tlhelp32.h>

#include <fstream>
#include <sstream>

namespace e2e {
namespace {
const wchar_t kInstallKey[] = L"SOFTWARE\\Valdro\\Ventiq";

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    ::CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

void SetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value) {
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) == ERROR_SUCCESS) {
        ::RegSetValueExW(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        ::RegCloseKey(handle);
    }
}

struct WindowSearch {
    DWORD processId;
    bool wantMain;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (owner != search->processId || std::wstring(className) != L"#32770" || !::IsWindowVisible(window)) {
        return TRUE;
    }
    // The main window is the dialog with the APPLY button; any other dialog is a message box.
    const bool isMain = ::GetDlgItem(window, 1013) != nullptr;
    if (isMain == search->wantMain) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitWindow(DWORD processId, bool wantMain, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        WindowSearch search{processId, wantMain, nullptr};
        ::EnumWindows(&FindProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Pump(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

int g_installationCount = 0;
} // namespace

std::wstring BuildPath(const std::wstring& relative) {
    std::wstring path = VENTIQ_BUILD_DIR;
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path + L"\\" + relative;
}

void SetDisplayAdapter(DWORD vendorId, DWORD deviceId) {
    SetDword(HKEY_CURRENT_USER, L"Software\\Wine\\Direct3D", L"VideoPciVendorID", vendorId);
    SetDword(HKEY_CURRENT_USER, L"Software\\Wine\\Direct3D", L"VideoPciDeviceID", deviceId);
}

void SetReportedWindowsVersion(const std::wstring& version) {
    const wchar_t key[] = L"Software\\Wine\\AppDefaults\\Ventiq.exe";
    if (version.empty()) {
        ::RegDeleteKeyW(HKEY_CURRENT_USER, key);
        return;
    }
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) ==
        ERROR_SUCCESS) {
        ::RegSetValueExW(handle, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                         static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(handle);
    }
}

Installation::Installation() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_dir = std::wstring(temp) + L"ventiq-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++g_installationCount);
    ::CreateDirectoryW(m_dir.c_str(), nullptr);
    WriteScenario("");
    ::DeleteFileW(JournalPath().c_str());
    SetWorkDir(&m_dir);
}

Installation::~Installation() {
    SetWorkDir(nullptr);
    WIN32_FIND_DATAW entry{};
    HANDLE find = ::FindFirstFileW((m_dir + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring path = m_dir + L"\\" + entry.cFileName;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
            ::RemoveDirectoryW(path.c_str()); // an empty folder a test made
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(m_dir.c_str());
}

void Installation::SetWorkDir(const std::wstring* dir) {
    if (dir == nullptr) {
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kInstallKey, L"WorkDir");
        return;
    }
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                          nullptr) == ERROR_SUCCESS) {
        ::RegSetValueExW(handle, L"WorkDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir->c_str()),
                         static_cast<DWORD>((dir->size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(handle);
    }
}

void Installation::WriteCardList(const std::string& text) const {
    WriteFileBytes(m_dir + L"\\DList.cfg", text);
}

void Installation::WriteScenario(const std::string& text) const {
    WriteFileBytes(ScenarioPath(), text);
}

void Installation::AddDeviceTools() const {
    for (const wchar_t* tool : {L"devcon64.exe", L"devcon86.exe"}) {
        ::CopyFileW(BuildPath(std::wstring(L"sim\\") + tool).c_str(), (m_dir + L"\\" + tool).c_str(), FALSE);
    }
}

std::vector<std::string> Installation::Journal() const {
    std::vector<std::string> lines;
    std::istringstream stream(ReadFileBytes(JournalPath()));
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Installation::Calls(const std::string& name) const {
    std::vector<std::string> calls;
    for (const std::string& line : Journal()) {
        if (line.compare(0, name.size(), name) == 0 &&
            (line.size() == name.size() || line[name.size()] == ' ')) {
            calls.push_back(line);
        }
    }
    return calls;
}

AppRun::AppRun(const Installation& installation, const std::wstring& arguments, const std::wstring& exe) {
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", installation.ScenarioPath().c_str());
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", installation.JournalPath().c_str());
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     installation.Dir().c_str(), &startup, &m_info);
}

AppRun::~AppRun() {
    if (m_info.hProcess != nullptr) {
        if (IsRunning()) {
            ::TerminateProcess(m_info.hProcess, 1);
            ::WaitForSingleObject(m_info.hProcess, 5000);
        }
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
}

HWND AppRun::WaitMainWindow(DWORD timeoutMs) const {
    return WaitWindow(m_info.dwProcessId, true, timeoutMs);
}

HWND AppRun::WaitMessageBox(DWORD timeoutMs) const {
    return WaitWindow(m_info.dwProcessId, false, timeoutMs);
}

bool AppRun::WaitExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (m_info.hProcess == nullptr || ::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode != nullptr) {
        ::GetExitCodeProcess(m_info.hProcess, exitCode);
    }
    return true;
}

bool AppRun::Terminate() const {
    return m_info.hProcess != nullptr && ::TerminateProcess(m_info.hProcess, 1) &&
           ::WaitForSingleObject(m_info.hProcess, 10000) == WAIT_OBJECT_0;
}

namespace {
std::vector<DWORD> FindProcesses(const DWORD* parentId, const wchar_t* imageName) {
    std::vector<DWORD> found;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return found;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if ((parentId == nullptr || entry.th32ParentProcessID == *parentId) &&
            (imageName == nullptr || _wcsicmp(entry.szExeFile, imageName) == 0)) {
            found.push_back(entry.th32ProcessID);
        }
    }
    ::CloseHandle(snapshot);
    return found;
}
} // namespace

std::vector<DWORD> ChildProcesses(DWORD parentId, const wchar_t* imageName) {
    return FindProcesses(&parentId, imageName);
}

std::vector<DWORD> Processes(const wchar_t* imageName) {
    return FindProcesses(nullptr, imageName);
}

void EndProcessTree(DWORD root) {
    std::vector<DWORD> tree = {root};
    for (size_t i = 0; i < tree.size(); ++i) {
        for (DWORD child : ChildProcesses(tree[i], nullptr)) {
            tree.push_back(child);
        }
    }
    std::vector<HANDLE> processes;
    for (DWORD id : tree) {
        processes.push_back(::OpenProcess(PROCESS_TERMINATE, FALSE, id));
    }
    for (HANDLE process : processes) {
        if (process != nullptr) {
            ::TerminateProcess(process, 1);
            ::CloseHandle(process);
        }
    }
}

void StartSchedulerService() {
    // Once the service runs, "net start" only says so.
    _wspawnlp(_P_WAIT, L"net.exe", L"net", L"start", L"schedule", nullptr);
}

HWND WaitProcessWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        for (HWND window = ::FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
             window = ::FindWindowExW(nullptr, window, className, nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == processId) {
                return window;
            }
        }
        Pump(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

HWND Control(HWND window, int id) {
    return ::GetDlgItem(window, id);
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring MessageBoxText(HWND box) {
    // The longest static text of the box is its message.
    std::wstring longest;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        ::GetClassNameW(child, className, 64);
        const std::wstring text = WindowText(child);
        if (_wcsicmp(className, L"Static") == 0 && text.size() > longest.size()) {
            longest = text;
        }
    }
    return longest;
}

void PressOk(HWND box) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

void Pump(DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    } while (::GetTickCount64() < deadline);
}

} // namespace e2e
