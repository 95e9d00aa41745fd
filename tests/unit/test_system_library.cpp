// How a driver library is loaded from the system directory, with and without the loader's search flags.
#include "hw/SystemLibrary.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemLibraryLoad, FullPathAlwaysAndFlagsOnlyWhereKnown) {
    const struct {
        const wchar_t* directory;
        bool flagsKnown;
        const wchar_t* path;
        DWORD flags;
    } cases[] = {
        {L"C:\\Windows\\system32", true, L"C:\\Windows\\system32\\atiadlxx.dll",
         LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32},
        // Vista, or Windows 7 without the loader update: the flags would fail the load outright.
        {L"C:\\Windows\\system32", false, L"C:\\Windows\\system32\\atiadlxx.dll", LOAD_WITH_ALTERED_SEARCH_PATH},
        {L"D:\\WIN\\System32\\", false, L"D:\\WIN\\System32\\atiadlxx.dll", LOAD_WITH_ALTERED_SEARCH_PATH},
    };
    for (const auto& c : cases) {
        const SystemLibraryLoad load = ChooseSystemLibraryLoad(c.directory, L"atiadlxx.dll", c.flagsKnown);
        EXPECT_EQ(load.m_strPath, c.path);
        EXPECT_EQ(load.m_dwFlags, c.flags) << c.flagsKnown;
    }
}

TEST(SystemLibraryLoad, LoadsTheSystemDirectorysCopyByItsFullPath) {
    // Wine's kernel32 has SetDefaultDllDirectories, as every current Windows does.
    EXPECT_TRUE(SystemKnowsSearchFlags());
    const HMODULE library = LoadSystemLibrary(L"atiadlxx.dll");
    ASSERT_NE(library, nullptr);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(library, path, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsicmp(path, (std::wstring(system) + L"\\atiadlxx.dll").c_str()), 0) << path;
    ::FreeLibrary(library);
    EXPECT_EQ(LoadSystemLibrary(L"no-such-driver.dll"), nullptr);
}

} // namespace
