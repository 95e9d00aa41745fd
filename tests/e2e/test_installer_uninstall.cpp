// The uninstaller under Wine: it removes exactly what the setup added, and a card list the user
// changed only when the user agrees.
#include "Harness.h"
#include "test_installer_support.h"

#include <gtest/gtest.h>

using namespace setup;

namespace {

struct UninstallCase {
    const char* name;
    bool bListChanged; // the user edited DList.cfg after installing
    bool bSilent;      // the QuietUninstallString, else the UninstallString with its pages
    int nAnswer;       // the user's answer to the question about the changed list
    bool bListKept;
    bool bStartsWithWindows; // the user had Ventiq start with Windows
};

void PrintTo(const UninstallCase& c, std::ostream* os) {
    *os << c.name;
}

struct UninstallerWindows {
    int nAnswer = 0;
    int nQuestions = 0;
    std::wstring strQuestion;
    ULONGLONG nLastClick = 0;
};

// Plays the user of the uninstaller's pages: answers its question and presses the default button
// (Uninstall, then Close) whenever it is enabled.
BOOL CALLBACK DriveUninstaller(HWND window, LPARAM param) {
    auto* user = reinterpret_cast<UninstallerWindows*>(param);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    // The uninstaller's page and its message boxes are captioned "Ventiq Uninstall" (plus a space).
    if (std::wstring(className) != L"#32770" || !::IsWindowVisible(window) ||
        e2e::WindowText(window).rfind(L"Ventiq Uninstall", 0) != 0) {
        return TRUE;
    }
    if (::GetDlgItem(window, IDYES) != nullptr && ::GetDlgItem(window, IDNO) != nullptr) {
        user->strQuestion = e2e::MessageBoxText(window);
        ++user->nQuestions;
        const int answer = user->nAnswer != 0 ? user->nAnswer : IDNO;
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, answer)));
        return TRUE;
    }
    HWND button = ::GetDlgItem(window, IDOK);
    if (button != nullptr && ::IsWindowEnabled(button) && ::GetTickCount64() - user->nLastClick > 500) {
        user->nLastClick = ::GetTickCount64();
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
    return TRUE;
}

class Uninstall : public CInstallerTest, public ::testing::WithParamInterface<UninstallCase> {};

TEST_P(Uninstall, RemovesWhatTheSetupAdded) {
    const UninstallCase& c = GetParam();
    ASSERT_EQ(InstallSilently().nExitCode, 0u);
    const std::wstring dir = DefaultInstallDir();
    const std::string changedList = "10DE;1C82;0000;0000;Valdro simulated NVIDIA board;120;100;80;60;\r\n";
    if (c.bListChanged) {
        WriteFileBytes(dir + L"\\DList.cfg", changedList);
    }
    if (c.bStartsWithWindows) {
        e2e::StartSchedulerService();
        ASSERT_EQ(RunToEnd(L"\"" + dir + L"\\Ventiq.exe\" /startup on", 30000).nExitCode, 0u);
        ASSERT_TRUE(FileExists(e2e::kStartupTaskFile));
    }

    UninstallerWindows user;
    user.nAnswer = c.nAnswer;
    RunOutcome run{};
    if (c.bSilent) {
        run = UninstallQuietly();
    } else {
        const std::optional<std::wstring> commandLine = ReadString(kUninstallKey, L"UninstallString");
        ASSERT_TRUE(commandLine.has_value());
        run = RunToEnd(*commandLine, 60000,
                       [&user] { ::EnumWindows(&DriveUninstaller, reinterpret_cast<LPARAM>(&user)); });
    }
    ASSERT_TRUE(run.bEnded) << "the uninstaller did not end";
    EXPECT_EQ(run.nExitCode, 0u);

    if (c.bListKept) {
        EXPECT_EQ(DirectoryEntries(dir), std::vector<std::wstring>{L"DList.cfg"});
        EXPECT_EQ(ReadFileBytes(dir + L"\\DList.cfg"), changedList);
    } else {
        EXPECT_FALSE(FileExists(dir)) << "the installation folder is still there";
        EXPECT_FALSE(FileExists(dir.substr(0, dir.rfind(L'\\')))) << "the empty Valdro folder is still there";
    }
    EXPECT_EQ(user.nQuestions, c.bListChanged && !c.bSilent ? 1 : 0) << "asked: " << user.strQuestion;
    if (user.nQuestions > 0) {
        EXPECT_NE(user.strQuestion.find(L"DList.cfg"), std::wstring::npos) << user.strQuestion;
    }
    EXPECT_FALSE(ReadString(kAppKey, L"WorkDir").has_value());
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(FileExists(StartMenuDir()));
    EXPECT_FALSE(FileExists(e2e::kStartupTaskFile));
}

const UninstallCase kUninstallCases[] = {
    {"SilentWithTheShippedList", false, true, 0, false, false},
    {"SilentKeepsAChangedList", true, true, 0, true, false},
    {"UserAgreesToRemoveAChangedList", true, false, IDYES, false, false},
    {"UserKeepsAChangedList", true, false, IDNO, true, false},
    {"WithPagesAndTheShippedListAsksNothing", false, false, 0, false, false},
    {"SilentRemovesTheStartWithWindows", false, true, 0, false, true},
};

INSTANTIATE_TEST_SUITE_P(Installer, Uninstall, ::testing::ValuesIn(kUninstallCases),
                         [](const auto& info) { return std::string(info.param.name); });

using InstallerUsersData = CInstallerTest;

TEST_F(InstallerUsersData, OutlivesTheUninstall) {
    ASSERT_EQ(InstallSilently().nExitCode, 0u);
    const std::wstring dir = DefaultInstallDir();
    // A CrossFire user's device console tool, and a value someone else keeps under the program's key.
    ::CopyFileW(e2e::BuildPath(L"sim\\devcon64.exe").c_str(), (dir + L"\\devcon64.exe").c_str(), FALSE);
    HKEY key = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const wchar_t other[] = L"kept";
    ::RegSetValueExW(key, L"Other", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof(other));
    ::RegCloseKey(key);

    const RunOutcome run = UninstallQuietly();
    EXPECT_TRUE(run.bEnded);
    EXPECT_EQ(DirectoryEntries(dir), std::vector<std::wstring>{L"devcon64.exe"});
    EXPECT_EQ(ReadString(kAppKey, L"Other"), L"kept");
    EXPECT_FALSE(ReadString(kAppKey, L"WorkDir").has_value());
    EXPECT_FALSE(KeyExists(kUninstallKey));
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kAppKey, L"Other");
}

} // namespace
