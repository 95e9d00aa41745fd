// Benchmark: own CPU time of one readings tick for each vendor, the old way (one synchronous redraw
// of the whole window, erase and every child) beside the new one (only the controls whose value
// changed, each in one pass), for readings that stay the same, one readout that changes and every
// readout changing; and a look at the window's pixels during such ticks for pictures that show the
// skin without a readout's digits. The window object runs in-process on the simulated board.
// Prints figures; not a test.
#include "../unit/MainWindowRig.h"
#include "../unit/PaintLog.h"
#include "hw/FanHardware.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Each measurement runs ticks until this much CPU time has passed (the thread clock is coarse under
// Wine); the three ways are measured by turns, several rounds, and each figure is the median round.
constexpr double kMinimumCpuMs = 150.0;
constexpr int kMinimumTicks = 20;
constexpr int kRounds = 7;


double ThreadCpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

double WallMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"ventiq-bench-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + name;
}

void WriteText(const std::wstring& path, const char* text) {
    std::ofstream(path.c_str(), std::ios::binary) << text;
}

// The board alternates between two scenario files from tick to tick (the same file twice: nothing
// changes); it reads the file named by its variable before every call.
class CAlternatingBoard {
public:
    CAlternatingBoard(const std::wstring& first, const std::wstring& second) : m_paths{first, second} {}
    void Next() {
        m_nTurn ^= 1;
        ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", m_paths[m_nTurn].c_str());
    }

private:
    std::wstring m_paths[2];
    int m_nTurn = 0;
};

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
}

struct Cost {
    double cpuMs;
    double wallMs;
};

Cost MedianOf(std::vector<Cost> costs) {
    std::vector<double> cpu;
    std::vector<double> wall;
    for (const Cost& c : costs) {
        cpu.push_back(c.cpuMs);
        wall.push_back(c.wallMs);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    return {cpu[cpu.size() / 2], wall[wall.size() / 2]};
}

template <class Run> Cost CostPer(CAlternatingBoard& board, Run run) {
    const double cpuStart = ThreadCpuMs();
    const double wallStart = WallMs();
    int count = 0;
    while (count < kMinimumTicks || ThreadCpuMs() - cpuStart < kMinimumCpuMs) {
        board.Next();
        run();
        Pump();
        ++count;
    }
    return {(ThreadCpuMs() - cpuStart) / count, (WallMs() - wallStart) / count};
}

// The hardware reads of one tick, without the window: the part of a tick that is the driver's.
void DriverOnly(CVentiqDlg& dlg) {
    dlg.m_pHardware->ReadGpuTemperature();
    dlg.m_pHardware->ReadOuterFans();
    dlg.m_pHardware->ReadChip(kChipRegDuty);
    dlg.m_pHardware->ReadChip(kChipRegPwmTemperature);
}

// The tick as it was: the readings under a paint pause, then one synchronous redraw of the whole
// window, erase and every child, on a window that does not clip its children.
void FullRedrawTick(CVentiqDlg& dlg, HWND window) {
    ::SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    dlg.UpdateReadouts();
    ::SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void SetClipChildren(HWND window, bool on) {
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    ::SetWindowLongPtrW(window, GWL_STYLE, on ? style | WS_CLIPCHILDREN : style & ~WS_CLIPCHILDREN);
}

// Pictures taken after every paint of one tick whose readings all change, and how many of them
// showed some readout without its digits.
void LookAtOneTick(CMainWindowRig& rig, CAlternatingBoard& board, bool fullRedraw, int& pictures,
                   int& blank) {
    CPaintLog log(rig.m_hWnd, kReadouts);
    log.Look(true);
    board.Next();
    if (fullRedraw) {
        FullRedrawTick(rig.m_dlg, rig.m_hWnd);
    } else {
        rig.m_dlg.UpdateReadings();
    }
    rig.Settle();
    pictures = log.Pictures();
    blank = log.BlankPictures();
}

void Measure(const char* vendor, bool nvidia, const std::wstring& start, const std::wstring& pwm,
             const std::wstring& all) {
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", start.c_str());
    CMainWindowRig rig(nvidia);
    if (!rig.Ready()) {
        std::printf("%s: the simulated driver is not installed in the system directory\n", vendor);
        return;
    }
    rig.m_dlg.UpdateReadings(); // interfaces fetched on first use are not a tick's cost
    rig.Settle();
    const struct {
        const char* name;
        const std::wstring& other;
    } cases[] = {{"(a) readings unchanged", start},
                 {"(b) one readout changes", pwm},
                 {"(c) every readout changes", all}};
    for (const auto& c : cases) {
        CAlternatingBoard board(start, c.other);
        std::vector<Cost> drivers;
        std::vector<Cost> fulls;
        std::vector<Cost> partials;
        for (int round = 0; round < kRounds; ++round) {
            drivers.push_back(CostPer(board, [&] { DriverOnly(rig.m_dlg); }));
            SetClipChildren(rig.m_hWnd, false);
            fulls.push_back(CostPer(board, [&] { FullRedrawTick(rig.m_dlg, rig.m_hWnd); }));
            SetClipChildren(rig.m_hWnd, true);
            rig.Settle();
            partials.push_back(CostPer(board, [&] { rig.m_dlg.UpdateReadings(); }));
        }
        const Cost driver = MedianOf(drivers);
        const Cost full = MedianOf(fulls);
        const Cost partial = MedianOf(partials);
        const double fullOwn = full.cpuMs - driver.cpuMs;
        const double partialOwn = partial.cpuMs - driver.cpuMs;
        std::printf("%-6s %-26s full redraw %7.3f ms   partial update %7.3f ms   %6.1fx cheaper"
                    "   (wall %.3f / %.3f ms; driver calls %.3f ms CPU, not counted)\n",
                    vendor, c.name, fullOwn, partialOwn, partialOwn > 0.0 ? fullOwn / partialOwn : 0.0,
                    full.wallMs - driver.wallMs, partial.wallMs - driver.wallMs, driver.cpuMs);
    }

    CAlternatingBoard board(start, all);
    int pictures = 0;
    int blank = 0;
    SetClipChildren(rig.m_hWnd, false);
    LookAtOneTick(rig, board, true, pictures, blank);
    std::printf(
        "%-6s screen during a tick that changes every readout: full redraw %d pictures, %d showing the "
        "skin without some readout;",
        vendor, pictures, blank);
    SetClipChildren(rig.m_hWnd, true);
    rig.Settle();
    LookAtOneTick(rig, board, false, pictures, blank);
    std::printf(" partial update %d pictures, %d without some readout\n", pictures, blank);
}

} // namespace

int main() {
    const std::wstring start = TempPath(L"start.txt");
    const std::wstring pwm = TempPath(L"pwm.txt");
    const std::wstring all = TempPath(L"all.txt");
    WriteText(start, kStart);
    WriteText(pwm, kPwmWarmer);
    WriteText(all, kAllChanged);
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", nullptr);
    std::printf("Readings tick: the program's own CPU time per tick on the UI thread (user + kernel, the "
                "simulated driver's calls subtracted), median of %d rounds of at least %.0f ms of CPU each\n",
                kRounds, kMinimumCpuMs);
    Measure("AMD", false, start, pwm, all);
    Measure("NVIDIA", true, start, pwm, all);
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", nullptr);
    for (const std::wstring* path : {&start, &pwm, &all}) {
        ::DeleteFileW(path->c_str());
    }
    return 0;
}
