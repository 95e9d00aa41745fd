// In-process access to the simulated board: scratch files, library loading and journal parsing.
#include "test_adl_sim_board.h"

#include <algorithm>
#include <cwctype>
#include <sstream>

namespace simtest {
namespace {
int g_nBoards = 0;

std::string ReadAll(const std::wstring& path) {
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    ::CloseHandle(file);
    return bytes;
}

std::string CallName(const std::string& line) {
    return line.substr(0, line.find(' '));
}
} // namespace

CScratchBoard::CScratchBoard() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_strDir = std::wstring(temp) + L"ventiq-sim-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(++g_nBoards);
    ::CreateDirectoryW(m_strDir.c_str(), nullptr);
    WriteScenario("");
    ClearJournal();
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", (m_strDir + L"\\scenario.txt").c_str());
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", (m_strDir + L"\\journal.txt").c_str());
}

CScratchBoard::~CScratchBoard() {
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", nullptr);
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", nullptr);
    ::DeleteFileW((m_strDir + L"\\scenario.txt").c_str());
    ::DeleteFileW((m_strDir + L"\\journal.txt").c_str());
    ::RemoveDirectoryW(m_strDir.c_str());
}

void CScratchBoard::WriteScenario(const std::string& text) const {
    HANDLE file = ::CreateFileW((m_strDir + L"\\scenario.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(file);
    }
}

void CScratchBoard::ClearJournal() const {
    ::DeleteFileW((m_strDir + L"\\journal.txt").c_str());
}

std::vector<std::string> CScratchBoard::Journal() const {
    std::vector<std::string> lines;
    std::istringstream stream(ReadAll(m_strDir + L"\\journal.txt"));
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> CScratchBoard::Calls(const std::string& name) const {
    return Only(Journal(), {name});
}

CPlantedLibrary::CPlantedLibrary(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_strDir = std::wstring(temp) + L"ventiq-plant-" + std::to_wstring(::GetCurrentProcessId());
    m_strFile = m_strDir + L"\\" + name;
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    ::CreateDirectoryW(m_strDir.c_str(), nullptr);
    m_bPlanted = ::CopyFileW((std::wstring(system) + L"\\" + name).c_str(), m_strFile.c_str(), FALSE) &&
                 ::SetDllDirectoryW(m_strDir.c_str());
}

CPlantedLibrary::~CPlantedLibrary() {
    ::SetDllDirectoryW(nullptr);
    ::DeleteFileW(m_strFile.c_str());
    ::RemoveDirectoryW(m_strDir.c_str());
}

std::wstring ModulePath(HMODULE module) {
    if (module == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(::towlower(c)); });
    return lower;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::string Field(const std::string& line, const std::string& key) {
    const std::string marker = " " + key + "=";
    const size_t start = line.find(marker);
    if (start == std::string::npos) {
        return {};
    }
    const size_t value = start + marker.size();
    return line.substr(value, line.find(' ', value) - value);
}

std::vector<std::string> Only(const std::vector<std::string>& lines, const std::vector<std::string>& names) {
    std::vector<std::string> selected;
    for (const std::string& line : lines) {
        if (std::find(names.begin(), names.end(), CallName(line)) != names.end()) {
            selected.push_back(line);
        }
    }
    return selected;
}

} // namespace simtest
