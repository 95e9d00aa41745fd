// Loading a driver library from the system directory, on every Windows the program supports.
#include "hw/SystemLibrary.h"

bool SystemKnowsSearchFlags() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr && ::GetProcAddress(kernel, "SetDefaultDllDirectories") != nullptr;
}

SystemLibraryLoad ChooseSystemLibraryLoad(const std::wstring& systemDirectory, const wchar_t* name,
                                          bool searchFlagsKnown) {
    SystemLibraryLoad load;
    load.m_strPath = systemDirectory;
    if (!load.m_strPath.empty() && load.m_strPath.back() != L'\\') {
        load.m_strPath += L'\\';
    }
    load.m_strPath += name;
    load.m_dwFlags = searchFlagsKnown ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                      : LOAD_WITH_ALTERED_SEARCH_PATH;
    return load;
}

std::wstring SystemDirectory() {
    wchar_t directory[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(directory, length);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    const std::wstring directory = SystemDirectory();
    if (directory.empty()) {
        return nullptr;
    }
    const SystemLibraryLoad load = ChooseSystemLibraryLoad(directory, name, SystemKnowsSearchFlags());
    return ::LoadLibraryExW(load.m_strPath.c_str(), nullptr, load.m_dwFlags);
}

void RestrictDllSearchToSystem() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDirectories != nullptr) {
        setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryW(L"");
}
