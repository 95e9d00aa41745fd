// In-process access to the simulated board for unit tests: a scratch scenario and journal, and the
// simulated driver libraries loaded from the system directory as the program loads them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace simtest {

// The NVIDIA driver library of this build.
#if defined(_WIN64)
inline constexpr char kNvApiDll[] = "nvapi64.dll";
inline constexpr wchar_t kNvApiDllW[] = L"nvapi64.dll";
#else
inline constexpr char kNvApiDll[] = "nvapi.dll";
inline constexpr wchar_t kNvApiDllW[] = L"nvapi.dll";
#endif

// Scenario and journal files in a fresh temporary directory, named by the board's environment
// variables for as long as the object lives.
class CScratchBoard {
public:
    CScratchBoard();
    ~CScratchBoard();
    CScratchBoard(const CScratchBoard&) = delete;
    CScratchBoard& operator=(const CScratchBoard&) = delete;

    void WriteScenario(const std::string& text) const;
    void ClearJournal() const;
    std::vector<std::string> Journal() const;
    // Journal lines of one call name.
    std::vector<std::string> Calls(const std::string& name) const;

private:
    std::wstring m_strDir;
};

// A copy of a simulated driver library in a scratch directory that is put on the process's DLL
// search path (SetDllDirectoryW) for as long as the object lives.
class CPlantedLibrary {
public:
    explicit CPlantedLibrary(const wchar_t* name);
    ~CPlantedLibrary();
    CPlantedLibrary(const CPlantedLibrary&) = delete;
    CPlantedLibrary& operator=(const CPlantedLibrary&) = delete;
    bool IsPlanted() const { return m_bPlanted; }

private:
    std::wstring m_strDir;
    std::wstring m_strFile;
    bool m_bPlanted = false;
};

// Full path of a loaded module, lower case; "" for null.
std::wstring ModulePath(HMODULE module);

// LoadLibraryExW from the system directory, where the test prefix keeps the simulated drivers.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Value of key=... in a journal line, or "" when the line has no such argument.
std::string Field(const std::string& line, const std::string& key);

// Journal lines whose call name is one of `names`, in journal order.
std::vector<std::string> Only(const std::vector<std::string>& lines, const std::vector<std::string>& names);

} // namespace simtest
