// Installer test support: runs of the setup and its uninstaller, the installation's files and
// registry entries, and a fixture that leaves the prefix as it found it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace setup {

inline constexpr wchar_t kAppKey[] = L"SOFTWARE\\Valdro\\Ventiq";
inline constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ventiq";
// A second location for installations the user places himself; the name has a space on purpose.
inline constexpr wchar_t kCustomDir[] = L"C:\\Valdro Tools\\Ventiq";

// Ventiq-Setup-x64.exe of this build.
std::wstring SetupPath();
// "C:\Program Files\Valdro\Ventiq" as the 64-bit installer chooses it.
std::wstring DefaultInstallDir();
// The all-users Start-menu folder of the shortcuts.
std::wstring StartMenuDir();

struct RunOutcome {
    bool bEnded;     // the program and everything it started ended within the timeout
    DWORD nExitCode; // of the program itself
};
// Runs a command line in a job and waits until the job is empty: an uninstaller hands over to a
// copy of itself and ends at once. onTick runs about every 100 ms meanwhile. A run that outlives the
// timeout is killed with everything it started.
RunOutcome RunToEnd(const std::wstring& commandLine, DWORD timeoutMs,
                    const std::function<void()>& onTick = {});
// The setup, silent (/S); extra arguments such as "/D=dir" follow.
RunOutcome InstallSilently(const std::wstring& extraArguments = L"");
// The uninstaller as "Apps & features" runs it quietly: the registered QuietUninstallString.
RunOutcome UninstallQuietly();

std::optional<std::wstring> ReadString(const wchar_t* key, const wchar_t* name);
std::optional<DWORD> ReadDword(const wchar_t* key, const wchar_t* name);
bool KeyExists(const wchar_t* key);
// Names of the uninstall entries (any key) whose DisplayName is "Ventiq".
std::vector<std::wstring> VentiqUninstallEntries();

// The setup's fingerprint of a card list, as kept in the uninstall entry's CardListHash: 32-bit
// FNV-1a over the file's bytes, 8 upper-case hexadecimal digits.
std::wstring CardListHash(const std::string& bytes);

bool FileExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Names of the files and folders in a directory, sorted; empty when it does not exist.
std::vector<std::wstring> DirectoryEntries(const std::wstring& dir);
struct Shortcut {
    std::wstring strTarget;
    std::wstring strWorkingDir;
};
// What a shell link starts, and where; empty when it cannot be read.
Shortcut ReadShortcut(const std::wstring& linkPath);

// Every installer test starts without an installation and leaves none: whatever a test installed
// is uninstalled (and any remains removed), and WorkDir is put back as it was. Meanwhile Wine's menu
// builder is off, so the setup's shortcuts stay inside the prefix.
class CInstallerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    bool m_bPrepared = false;
    std::optional<std::wstring> m_strSavedWorkDir;
    std::optional<std::wstring> m_strSavedMenuBuilder;
};

} // namespace setup
