// Driver libraries come from the system directory only: the program runs elevated, and a copy planted
// beside it or in the current directory would run with its rights.
#pragma once
#include <windows.h>

#include <string>

// Whether this Windows knows the LOAD_LIBRARY_SEARCH_* flags: Windows 8 and later, and Windows 7 or
// Vista with the loader update (KB2533623), which brings SetDefaultDllDirectories.
bool SystemKnowsSearchFlags();

// How one library is loaded: always by its full path in the system directory; its own dependencies
// resolve from there too, through the search flags where the system knows them, else through the
// altered search path (the flags would make the load fail outright).
struct SystemLibraryLoad {
    std::wstring m_strPath;
    DWORD m_dwFlags = 0;
};
SystemLibraryLoad ChooseSystemLibraryLoad(const std::wstring& systemDirectory, const wchar_t* name,
                                          bool searchFlagsKnown);

// The library `name` of the system directory; null when it is not there or does not load.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The process never loads a library planted beside its program or in the current directory: DLLs
// come from the system directory only (where the update providing this exists). First thing in both
// of the program's processes, which run elevated.
void RestrictDllSearchToSystem();

// The system directory, without a trailing backslash; empty when it cannot be told.
std::wstring SystemDirectory();
