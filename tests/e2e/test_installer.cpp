// The setup under Wine: what a silent install leaves, the installed program started from its
// Start-menu shortcut on the simulated board, and installing again over an installation.
#include "Harness.h"
#include "test_installer_support.h"

#include <gtest/gtest.h>

using namespace setup;

namespace {

const std::vector<std::wstring> kInstalledFiles = {L"DList.cfg", L"Uninstall.exe", L"Ventiq.exe",
                                                   L"VentiqGuard.exe"};
const std::vector<std::wstring> kShortcuts = {L"Uninstall Ventiq.lnk", L"Ventiq.lnk"};

std::string ShippedCardList() {
    return ReadFileBytes(VENTIQ_SHIPPED_CARD_LIST);
}

std::string BuiltProgram() {
    return ReadFileBytes(e2e::BuildPath(L"Ventiq.exe"));
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

TEST(InstallerImage, IsA64BitProgramThatAsksForAdministratorRights) {
    const std::string image = ReadFileBytes(SetupPath());
    if (image.empty()) {
        GTEST_SKIP() << "this build has no installer (makensis missing)";
    }
    ASSERT_GT(image.size(), 0x40u);
    const DWORD peOffset = *reinterpret_cast<const DWORD*>(image.data() + 0x3C);
    ASSERT_LT(peOffset + 6, image.size());
    EXPECT_EQ(image.compare(peOffset, 4, std::string("PE\0\0", 4)), 0);
    EXPECT_EQ(*reinterpret_cast<const WORD*>(image.data() + peOffset + 4), IMAGE_FILE_MACHINE_AMD64);

    HMODULE module = ::LoadLibraryExW(SetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    ASSERT_NE(resource, nullptr);
    const char* manifest = static_cast<const char*>(::LockResource(::LoadResource(module, resource)));
    const std::string text(manifest, ::SizeofResource(module, resource));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos) << text;
    ::FreeLibrary(module);
}

struct LocationCase {
    const char* name;
    const wchar_t* arguments; // after /S
    bool bCustomDir;          // else the default folder under Program Files
};

void PrintTo(const LocationCase& c, std::ostream* os) {
    *os << c.name;
}

class InstallLocation : public CInstallerTest, public ::testing::WithParamInterface<LocationCase> {};

TEST_P(InstallLocation, SilentInstallPutsEverythingInPlace) {
    const LocationCase& c = GetParam();
    const std::wstring dir = c.bCustomDir ? kCustomDir : DefaultInstallDir();
    const RunOutcome run = InstallSilently(c.arguments);
    ASSERT_TRUE(run.bEnded) << "the setup did not end";
    ASSERT_EQ(run.nExitCode, 0u);

    EXPECT_EQ(DirectoryEntries(dir), kInstalledFiles);
    EXPECT_TRUE(BuiltProgram() == ReadFileBytes(dir + L"\\Ventiq.exe")) << "not this build's program";
    EXPECT_TRUE(ReadFileBytes(e2e::BuildPath(L"VentiqGuard.exe")) ==
                ReadFileBytes(dir + L"\\VentiqGuard.exe"))
        << "not this build's guardian";
    EXPECT_TRUE(ShippedCardList() == ReadFileBytes(dir + L"\\DList.cfg")) << "not the shipped card list";
    // Ventiq appends "\DList.cfg" to WorkDir itself: no trailing backslash.
    EXPECT_EQ(ReadString(kAppKey, L"WorkDir"), dir);

    EXPECT_EQ(DirectoryEntries(StartMenuDir()), kShortcuts);
    const Shortcut program = ReadShortcut(StartMenuDir() + L"\\Ventiq.lnk");
    EXPECT_TRUE(SamePath(program.strTarget, dir + L"\\Ventiq.exe")) << program.strTarget;
    const Shortcut uninstaller = ReadShortcut(StartMenuDir() + L"\\Uninstall Ventiq.lnk");
    EXPECT_TRUE(SamePath(uninstaller.strTarget, dir + L"\\Uninstall.exe")) << uninstaller.strTarget;

    EXPECT_EQ(VentiqUninstallEntries(), std::vector<std::wstring>{L"Ventiq"});
    EXPECT_EQ(ReadString(kUninstallKey, L"DisplayName"), L"Ventiq");
    EXPECT_EQ(ReadString(kUninstallKey, L"DisplayVersion"), VENTIQ_VERSION);
    EXPECT_EQ(ReadString(kUninstallKey, L"Publisher"), L"Valdro");
    EXPECT_EQ(ReadString(kUninstallKey, L"InstallLocation"), dir);
    EXPECT_EQ(ReadString(kUninstallKey, L"DisplayIcon"), dir + L"\\Ventiq.exe,0");
    // Quoted: the folder may hold spaces.
    EXPECT_EQ(ReadString(kUninstallKey, L"UninstallString"), L"\"" + dir + L"\\Uninstall.exe\"");
    EXPECT_EQ(ReadString(kUninstallKey, L"QuietUninstallString"), L"\"" + dir + L"\\Uninstall.exe\" /S");
    EXPECT_EQ(ReadDword(kUninstallKey, L"NoModify"), 1u);
    EXPECT_EQ(ReadDword(kUninstallKey, L"NoRepair"), 1u);
    EXPECT_EQ(ReadString(kUninstallKey, L"CardListHash"), CardListHash(ShippedCardList()));
    const std::optional<DWORD> sizeKb = ReadDword(kUninstallKey, L"EstimatedSize");
    ASSERT_TRUE(sizeKb.has_value());
    EXPECT_GE(*sizeKb, BuiltProgram().size() / 1024) << "EstimatedSize is in KB and covers the program";
    EXPECT_LT(*sizeKb, 4 * BuiltProgram().size() / 1024);
}

const LocationCase kLocationCases[] = {
    {"DefaultFolder", L"", false},
    {"ChosenFolder", L"/D=C:\\Valdro Tools\\Ventiq", true},
    {"ChosenFolderWithTrailingBackslash", L"/D=C:\\Valdro Tools\\Ventiq\\", true},
};

INSTANTIATE_TEST_SUITE_P(Installer, InstallLocation, ::testing::ValuesIn(kLocationCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BoardCase {
    const char* name;
    DWORD nVendorId;
    DWORD nDeviceId;
    const char* startCall; // the journal line that shows the vendor library was brought up
};

void PrintTo(const BoardCase& c, std::ostream* os) {
    *os << c.name;
}

class InstalledProgram : public CInstallerTest, public ::testing::WithParamInterface<BoardCase> {
protected:
    void TearDown() override {
        e2e::SetDisplayAdapter(0x1002, 0x6719);
        CInstallerTest::TearDown();
    }
};

struct WindowSearch {
    DWORD nProcessId;
    HWND hMain;
    HWND hMessage;
};

BOOL CALLBACK FindVentiqWindows(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (owner == search->nProcessId && std::wstring(className) == L"#32770" && ::IsWindowVisible(window)) {
        // The main window is the dialog with the APPLY button.
        (::GetDlgItem(window, 1013) != nullptr ? search->hMain : search->hMessage) = window;
    }
    return TRUE;
}

TEST_P(InstalledProgram, StartedFromItsShortcutReachesTheRunningState) {
    const BoardCase& c = GetParam();
    ASSERT_EQ(InstallSilently().nExitCode, 0u);
    const Shortcut shortcut = ReadShortcut(StartMenuDir() + L"\\Ventiq.lnk");
    ASSERT_TRUE(FileExists(shortcut.strTarget)) << "shortcut target: " << shortcut.strTarget;

    e2e::SetDisplayAdapter(c.nVendorId, c.nDeviceId);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring scenario = std::wstring(temp) + L"ventiq-setup-scenario.txt";
    const std::wstring journal = std::wstring(temp) + L"ventiq-setup-journal.txt";
    WriteFileBytes(scenario, "");
    ::DeleteFileW(journal.c_str());
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", scenario.c_str());
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", journal.c_str());

    std::wstring commandLine = L"\"" + shortcut.strTarget + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(
        shortcut.strTarget.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
        shortcut.strWorkingDir.empty() ? nullptr : shortcut.strWorkingDir.c_str(), &startup, &info));
    WindowSearch search{info.dwProcessId, nullptr, nullptr};
    const ULONGLONG deadline = ::GetTickCount64() + 20000;
    while (search.hMain == nullptr && search.hMessage == nullptr && ::GetTickCount64() < deadline) {
        e2e::Pump(100);
        ::EnumWindows(&FindVentiqWindows, reinterpret_cast<LPARAM>(&search));
    }
    EXPECT_NE(search.hMain, nullptr) << "no main window" << (search.hMessage ? ", the program said: " : "")
                                     << (search.hMessage ? e2e::MessageBoxText(search.hMessage) : L"");
    const std::string calls = ReadFileBytes(journal);
    EXPECT_NE(calls.find(std::string("\n") + c.startCall), std::string::npos) << calls;

    ::TerminateProcess(info.hProcess, 1);
    ::WaitForSingleObject(info.hProcess, 5000);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    ::DeleteFileW(scenario.c_str());
    ::DeleteFileW(journal.c_str());
}

const BoardCase kBoardCases[] = {
    {"AmdBoard", 0x1002, 0x6719, "ADL_Main_Control_Create"},
    {"NvidiaBoard", 0x10DE, 0x1C82, "NvAPI_Initialize"},
};

INSTANTIATE_TEST_SUITE_P(Installer, InstalledProgram, ::testing::ValuesIn(kBoardCases),
                         [](const auto& info) { return std::string(info.param.name); });

using InstallerUpgrade = CInstallerTest;

TEST_F(InstallerUpgrade, InstallingAgainReplacesTheFilesWhereTheyAre) {
    ASSERT_EQ(InstallSilently(L"/D=C:\\Valdro Tools\\Ventiq").nExitCode, 0u);
    const std::wstring program = std::wstring(kCustomDir) + L"\\Ventiq.exe";
    WriteFileBytes(program, "an older program");

    // No folder given: the second run finds the installation by itself.
    const RunOutcome run = InstallSilently();
    ASSERT_TRUE(run.bEnded);
    ASSERT_EQ(run.nExitCode, 0u);
    EXPECT_TRUE(BuiltProgram() == ReadFileBytes(program)) << "the program was not replaced";
    EXPECT_EQ(DirectoryEntries(kCustomDir), kInstalledFiles);
    EXPECT_FALSE(FileExists(DefaultInstallDir())) << "a second copy went to the default folder";
    EXPECT_EQ(VentiqUninstallEntries(), std::vector<std::wstring>{L"Ventiq"});
    EXPECT_EQ(ReadString(kAppKey, L"WorkDir"), kCustomDir);
    EXPECT_EQ(DirectoryEntries(StartMenuDir()), kShortcuts);
}

struct ListUpgradeCase {
    const char* name;
    const char* listBefore;    // the installed list before the second run; null: deleted
    const char* shippedBefore; // the list the installation records as shipped; null: this version's
    bool bKept;                // the second run leaves it as it was, else it is this version's list
};

void PrintTo(const ListUpgradeCase& c, std::ostream* os) {
    *os << c.name;
}

class ListUpgrade : public CInstallerTest, public ::testing::WithParamInterface<ListUpgradeCase> {};

TEST_P(ListUpgrade, SilentUpgradeKeepsOnlyTheUsersList) {
    const ListUpgradeCase& c = GetParam();
    ASSERT_EQ(InstallSilently().nExitCode, 0u);
    const std::wstring list = DefaultInstallDir() + L"\\DList.cfg";
    if (c.listBefore != nullptr) {
        WriteFileBytes(list, c.listBefore);
    } else {
        ::DeleteFileW(list.c_str());
    }
    if (c.shippedBefore != nullptr) {
        // As an older version, with another list, would have recorded it.
        HKEY key = nullptr;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        const std::wstring hash = CardListHash(c.shippedBefore);
        ::RegSetValueExW(key, L"CardListHash", 0, REG_SZ, reinterpret_cast<const BYTE*>(hash.c_str()),
                         static_cast<DWORD>((hash.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    ASSERT_EQ(InstallSilently().nExitCode, 0u);
    EXPECT_EQ(ReadFileBytes(list), c.bKept ? std::string(c.listBefore) : ShippedCardList());
    EXPECT_EQ(ReadString(kUninstallKey, L"CardListHash"), CardListHash(ShippedCardList()));
}

const char kOlderList[] = "1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\r\n";
const char kListWithABoardAdded[] = "1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\r\n"
                                    "1002;67DF;1DA2;E387;a board the user added;110;90;70;50;\r\n";

const ListUpgradeCase kListUpgradeCases[] = {
    {"BoardAdded", kListWithABoardAdded, nullptr, true},
    {"EmptiedByTheUser", "", nullptr, true},
    {"Deleted", nullptr, nullptr, false},
    {"AnOlderVersionsList", kOlderList, kOlderList, false},
    {"AnOlderVersionsListChangedByTheUser", kListWithABoardAdded, kOlderList, true},
};

INSTANTIATE_TEST_SUITE_P(Installer, ListUpgrade, ::testing::ValuesIn(kListUpgradeCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
