// Benchmark: CPU time of one readings tick and the driver calls it makes, for each vendor, with the
// program's window object in-process on the simulated board. Prints figures; not a test.
#include "app/VentiqDlg.h"
#include "hw/FanHardware.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int kTicks = 200;

double ThreadCpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"ventiq-bench-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + name;
}

// The window object on a plain window with the controls it binds, dressed by the program's own
// window set-up.
class TickRig {
public:
    TickRig() {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = L"VentiqTickBench";
        ::RegisterClassW(&windowClass);
        m_hWnd = ::CreateWindowExW(0, L"VentiqTickBench", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 395, nullptr,
                                   nullptr, instance, nullptr);
        m_dlg.SubclassWindow(m_hWnd);
        const struct {
            const wchar_t* className;
            DWORD style;
            int ids[7];
        } children[] = {
            {L"BUTTON", BS_PUSHBUTTON, {1000, 1001, 1012, 1013, 1017, 1018, 0}},
            {L"STATIC", SS_NOTIFY, {1014, 1015, 1021, 1022, 1023, 0, 0}},
            {L"STATIC", 0, {1002, 1003, 1004, 1005, 1006, 1016, 1019}},
            {L"EDIT", 0, {1010, 1011, 0, 0, 0, 0, 0}},
        };
        for (const auto& group : children) {
            for (int id : group.ids) {
                if (id != 0) {
                    ::CreateWindowExW(0, group.className, L"", WS_CHILD | WS_VISIBLE | group.style, 0, 0, 40,
                                      20, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                      nullptr);
                }
            }
        }
        m_dlg.UpdateData();
        m_dlg.m_bFanControl = 1;
        m_dlg.m_nCardCount = 1;
        m_dlg.m_pCardMatched = {1};
    }
    ~TickRig() {
        // The program's own restore on destruction is not part of the figure.
        m_dlg.m_pAmdHardware = nullptr;
        m_dlg.m_pHardware.reset();
        ::DestroyWindow(m_hWnd);
    }
    TickRig(const TickRig&) = delete;
    TickRig& operator=(const TickRig&) = delete;

    CVentiqDlg m_dlg;
    HWND m_hWnd = nullptr;
};

size_t JournalLines(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    size_t lines = 0;
    for (char c : text.str()) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
}

// The hardware reads of one tick, without the window: the part of a tick that is the driver's.
void DriverOnly(CVentiqDlg& dlg) {
    dlg.m_pHardware->ReadGpuTemperature();
    dlg.m_pHardware->ReadOuterFans();
    dlg.m_pHardware->ReadChip(0x60);
    dlg.m_pHardware->ReadChip(0x02);
}

template <class Run> double CpuMsPer(int count, Run run) {
    const double start = ThreadCpuMs();
    for (int i = 0; i < count; ++i) {
        run();
        Pump();
    }
    return (ThreadCpuMs() - start) / count;
}

void Measure(const char* vendor, TickRig& rig, const std::wstring& journal) {
    // Calls per tick, counted in the board's journal over a few ticks.
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", journal.c_str());
    rig.m_dlg.UpdateReadings(); // interfaces fetched on first use are not a tick's cost
    const size_t before = JournalLines(journal);
    constexpr int kCounted = 10;
    for (int i = 0; i < kCounted; ++i) {
        rig.m_dlg.UpdateReadings();
    }
    const double callsPerTick = static_cast<double>(JournalLines(journal) - before) / kCounted;
    // Timing without the journal, whose file writes are the simulation's and not the program's.
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", nullptr);
    const double tickMs = CpuMsPer(kTicks, [&] { rig.m_dlg.UpdateReadings(); });
    const double driverMs = CpuMsPer(kTicks, [&] { DriverOnly(rig.m_dlg); });
    std::printf(
        "%-6s tick: %.3f ms CPU, of which the simulated driver's calls %.3f ms; program alone %.3f ms; "
        "%.1f driver calls per tick\n",
        vendor, tickMs, driverMs, tickMs - driverMs, callsPerTick);
}

} // namespace

int main() {
    // No scenario file: the board's default card, so no file is read on each call.
    ::SetEnvironmentVariableW(L"VENTIQ_SIM_SCENARIO", nullptr);
    const std::wstring journal = TempPath(L"journal.txt");
    std::printf(
        "Readings tick, %d ticks per figure, CPU time of the UI thread (user + kernel), including the "
        "one full redraw of the dressed window (skin, skinned controls, digital font)\n",
        kTicks);
    {
        TickRig rig;
        rig.m_dlg.m_strVendor = L"AMD";
        if (!rig.m_dlg.StartBackend()) {
            std::printf("AMD: the simulated display library is not installed in the system directory\n");
            return 1;
        }
        rig.m_dlg.ReadSavedRegisters();
        rig.m_dlg.SetUpWindow();
        Measure("AMD", rig, journal);
    }
    {
        TickRig rig;
        rig.m_dlg.m_strVendor = L"NVIDIA";
        if (!rig.m_dlg.StartBackend()) {
            std::printf("NVIDIA: the simulated driver API is not installed in the system directory\n");
            return 1;
        }
        rig.m_dlg.ReadSavedRegisters();
        rig.m_dlg.SetUpWindow();
        Measure("NVIDIA", rig, journal);
    }
    ::DeleteFileW(journal.c_str());
    return 0;
}
