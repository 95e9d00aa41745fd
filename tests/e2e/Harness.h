// Whole-program test harness: an installation directory, the simulated board's scenario and
// journal, and Ventiq.exe started and driven through window messages.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Ventiq.exe of this build and the simulated board's tools.
std::wstring BuildPath(const std::wstring& relative);

// Which adapter Wine's WMI reports (one only): PCI vendor and device id.
void SetDisplayAdapter(DWORD vendorId, DWORD deviceId);
// The Windows version Wine reports to Ventiq.exe ("win7", "winxp", ...); empty: the prefix default.
void SetReportedWindowsVersion(const std::wstring& version);

// A scratch installation: a directory with DList.cfg, named by WorkDir in the registry; the
// simulated board's scenario and journal files live there too. Removed again on destruction.
class Installation {
public:
    Installation();
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    const std::wstring& Dir() const { return m_dir; }
    void WriteCardList(const std::string& text) const;
    void WriteScenario(const std::string& text) const;
    // Copies the fake device console tools of the simulated board into the directory.
    void AddDeviceTools() const;
    // Lines of the simulated board's journal so far.
    std::vector<std::string> Journal() const;
    // Journal lines that start with the given call name.
    std::vector<std::string> Calls(const std::string& name) const;
    std::wstring ScenarioPath() const { return m_dir + L"\\scenario.txt"; }
    std::wstring JournalPath() const { return m_dir + L"\\journal.txt"; }

    // Registry key of the installation: HKLM "SOFTWARE\Valdro\Ventiq" value WorkDir.
    static void SetWorkDir(const std::wstring* dir);

private:
    std::wstring m_dir;
};

// One run of Ventiq.exe (this build's, or another copy) with the given arguments. The destructor ends
// it if it is still running.
class AppRun {
public:
    explicit AppRun(const Installation& installation, const std::wstring& arguments = L"",
                    const std::wstring& exe = BuildPath(L"Ventiq.exe"));
    ~AppRun();
    AppRun(const AppRun&) = delete;
    AppRun& operator=(const AppRun&) = delete;

    DWORD ProcessId() const { return m_info.dwProcessId; }
    // The main window once it exists and is visible, or null after the timeout.
    HWND WaitMainWindow(DWORD timeoutMs = 20000) const;
    // The program's message box, or null after the timeout.
    HWND WaitMessageBox(DWORD timeoutMs = 20000) const;
    // Whether the process has ended within the timeout; its exit code then.
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    bool IsRunning() const { return !WaitExit(0); }
    // Ends the process from outside, as Task Manager's End task or taskkill /f do.
    bool Terminate() const;

private:
    PROCESS_INFORMATION m_info{};
};

// Processes of this executable file name (any, for null) started by the given process.
std::vector<DWORD> ChildProcesses(DWORD parentId, const wchar_t* imageName);
// Every running process of this executable file name.
std::vector<DWORD> Processes(const wchar_t* imageName);
// Ends the process and every process it started, and theirs, found by parent process id, together,
// as Task Manager's "End process tree" does.
void EndProcessTree(DWORD root);

// Starts Wine's Task Scheduler service, which a fresh prefix does not run.
void StartSchedulerService();
// Where the scheduler keeps the task "Ventiq": the file exists while the task does.
inline const wchar_t kStartupTaskFile[] = L"C:\\windows\\system32\\tasks\\Ventiq";

// A top-level window of this class that the process has made, shown or hidden; null after the timeout.
HWND WaitProcessWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs = 20000);

// The main window's control with this id.
HWND Control(HWND window, int id);
std::wstring WindowText(HWND window);
// Caption and text of a message box.
std::wstring MessageBoxText(HWND box);
// Presses the message box's OK button.
void PressOk(HWND box);
// Runs a few rounds of the test's own message queue, so posted messages are delivered.
void Pump(DWORD milliseconds);

} // namespace e2e
