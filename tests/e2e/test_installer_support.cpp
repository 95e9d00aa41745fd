// Installer test support: job-controlled runs, the installation's files, links and registry.
#include "test_installer_support.h"

#include "Harness.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace setup {
namespace {

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

void DeleteFilesIn(const std::wstring& dir) {
    for (const std::wstring& name : DirectoryEntries(dir)) {
        const std::wstring path = dir + L"\\" + name;
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
    }
    ::RemoveDirectoryW(dir.c_str());
}

std::wstring ParentOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

// Uninstalls whatever a test left installed, then removes any remains by force, so the next test
// starts clean even after a failed uninstall.
void RemoveInstallation() {
    if (KeyExists(kUninstallKey)) {
        UninstallQuietly();
    }
    for (const std::wstring& dir : {DefaultInstallDir(), std::wstring(kCustomDir)}) {
        DeleteFilesIn(dir);
        ::RemoveDirectoryW(ParentOf(dir).c_str());
    }
    DeleteFilesIn(StartMenuDir());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kAppKey, L"WorkDir");
}

// Wine's menu builder, which turns every new shortcut into a menu entry in the host's home.
const wchar_t kDllOverridesKey[] = L"Software\\Wine\\DllOverrides";
const wchar_t kMenuBuilder[] = L"winemenubuilder.exe";

std::optional<std::wstring> ReadValue(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t value[2048] = {};
    DWORD size = sizeof(value);
    if (::RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

// Sets a string value, or deletes it for nullopt.
void WriteValue(HKEY root, const wchar_t* key, const wchar_t* name,
                const std::optional<std::wstring>& value) {
    if (!value) {
        ::RegDeleteKeyValueW(root, key, name);
        return;
    }
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) ==
        ERROR_SUCCESS) {
        ::RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                         static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(handle);
    }
}

} // namespace

std::wstring SetupPath() {
    return e2e::BuildPath(L"Ventiq-Setup-x64.exe");
}

std::wstring DefaultInstallDir() {
    return ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Valdro\\Ventiq";
}

std::wstring StartMenuDir() {
    return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Ventiq";
}

RunOutcome RunToEnd(const std::wstring& commandLine, DWORD timeoutMs, const std::function<void()>& onTick) {
    RunOutcome outcome{false, STILL_ACTIVE};
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));

    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                          &startup, &info)) {
        ::CloseHandle(job);
        return outcome;
    }
    ::AssignProcessToJobObject(job, info.hProcess);
    ::ResumeThread(info.hThread);

    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
        ::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof(accounting),
                                    nullptr);
        if (accounting.ActiveProcesses == 0 && ::WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
            outcome.bEnded = true;
            break;
        }
        if (onTick) {
            onTick();
        }
        ::Sleep(100);
    }
    ::GetExitCodeProcess(info.hProcess, &outcome.nExitCode);
    if (!outcome.bEnded) {
        ::TerminateJobObject(job, 1);
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    ::CloseHandle(job);
    return outcome;
}

RunOutcome InstallSilently(const std::wstring& extraArguments) {
    std::wstring commandLine = L"\"" + SetupPath() + L"\" /S";
    if (!extraArguments.empty()) {
        commandLine += L" " + extraArguments;
    }
    return RunToEnd(commandLine, 60000);
}

RunOutcome UninstallQuietly() {
    const std::optional<std::wstring> commandLine = ReadString(kUninstallKey, L"QuietUninstallString");
    if (!commandLine) {
        return {false, STILL_ACTIVE};
    }
    return RunToEnd(*commandLine, 60000);
}

std::optional<std::wstring> ReadString(const wchar_t* key, const wchar_t* name) {
    return ReadValue(HKEY_LOCAL_MACHINE, key, name);
}

std::optional<DWORD> ReadDword(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

bool KeyExists(const wchar_t* key) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(handle);
    return true;
}

std::vector<std::wstring> VentiqUninstallEntries() {
    const std::wstring root = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    std::vector<std::wstring> entries;
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, root.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return entries;
    }
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (::RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        if (ReadString((root + L"\\" + name).c_str(), L"DisplayName") == L"Ventiq") {
            entries.push_back(name);
        }
    }
    ::RegCloseKey(handle);
    return entries;
}

std::wstring CardListHash(const std::string& bytes) {
    uint32_t hash = 0x811C9DC5u;
    for (const char byte : bytes) {
        hash = (hash ^ static_cast<uint8_t>(byte)) * 16777619u;
    }
    wchar_t text[9] = {};
    swprintf(text, 9, L"%08X", hash);
    return text;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    ::CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::vector<std::wstring> DirectoryEntries(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

Shortcut ReadShortcut(const std::wstring& linkPath) {
    Shortcut shortcut;
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ))) {
                wchar_t text[MAX_PATH] = {};
                link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
                shortcut.strTarget = text;
                text[0] = L'\0';
                link->GetWorkingDirectory(text, MAX_PATH);
                shortcut.strWorkingDir = text;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) {
        ::CoUninitialize();
    }
    return shortcut;
}

void CInstallerTest::SetUp() {
    if (!FileExists(SetupPath())) {
        GTEST_SKIP() << "this build has no installer (makensis missing)";
    }
    // Wine starts its desktop process for the first program that needs one; that must not be the
    // setup, or the desktop would count as part of the setup's run.
    ::GetDesktopWindow();
    m_strSavedWorkDir = ReadString(kAppKey, L"WorkDir");
    m_strSavedMenuBuilder = ReadValue(HKEY_CURRENT_USER, kDllOverridesKey, kMenuBuilder);
    WriteValue(HKEY_CURRENT_USER, kDllOverridesKey, kMenuBuilder, L""); // disabled
    m_bPrepared = true;
    RemoveInstallation();
}

void CInstallerTest::TearDown() {
    if (m_bPrepared) {
        RemoveInstallation();
        WriteValue(HKEY_LOCAL_MACHINE, kAppKey, L"WorkDir", m_strSavedWorkDir);
        WriteValue(HKEY_CURRENT_USER, kDllOverridesKey, kMenuBuilder, m_strSavedMenuBuilder);
    }
}

} // namespace setup
