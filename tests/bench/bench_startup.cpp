// Benchmark: start-up under Wine, measured against a floor. The floor is a program of this build that
// only creates a window and shows it; Ventiq is started the same way on the simulated AMD board, to its
// first message box (no WorkDir: the earliest failure after detection) and to its window shown and
// answering (start-up over). Then the parts of Ventiq's start-up, timed in this process on the same
// board: COM and WMI, the single-instance check, card detection, the driver library, the chip reads,
// the window set-up with its skin and outline and first readings, and the first paint.
#include "../unit/MainWindowRig.h"
#include "Harness.h"
#include "app/SingleInstance.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
using namespace e2e;

constexpr int kRuns = 7;
const char kAmdBoard[] = "1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\n";

double NowMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

struct Search {
    DWORD processId;
    std::function<bool(HWND)> wanted;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window) && search->wanted(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Polls every millisecond for a visible top-level window of the process that the predicate accepts.
HWND WaitShown(DWORD processId, const std::function<bool(HWND)>& wanted, DWORD timeoutMs = 30000) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        Search search{processId, wanted, nullptr};
        ::EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        ::Sleep(1);
    }
    return nullptr;
}

// Returns once the window's thread handles messages again, that is once its start-up is over.
void WaitAnswering(HWND window) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
}

struct Launch {
    double shownMs = 0.0;
    double answeringMs = 0.0;
};

// The floor program, started as Ventiq is (same environment, same working directory).
bool RunFloor(const Installation& install, Launch& launch) {
    std::wstring exe = BuildPath(L"tests\\startup_floor.exe");
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const double start = NowMs();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          install.Dir().c_str(), &startup, &info)) {
        return false;
    }
    const HWND window = WaitShown(info.dwProcessId, [](HWND) { return true; });
    launch.shownMs = NowMs() - start;
    WaitAnswering(window);
    launch.answeringMs = NowMs() - start;
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(info.hProcess, 10000);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return window != nullptr;
}

bool RunVentiqWindow(Launch& launch) {
    Installation install;
    install.WriteCardList(kAmdBoard);
    const double start = NowMs();
    AppRun app(install);
    const HWND window =
        WaitShown(app.ProcessId(), [](HWND w) { return ::GetDlgItem(w, IDC_APPLY) != nullptr; });
    launch.shownMs = NowMs() - start;
    if (window == nullptr) {
        return false;
    }
    WaitAnswering(window);
    launch.answeringMs = NowMs() - start;
    // Escape's way out: the fans are handed back as on every exit.
    ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    app.WaitExit(10000);
    return true;
}

bool RunVentiqMessageBox(double& ms) {
    Installation install;
    Installation::SetWorkDir(nullptr);
    const double start = NowMs();
    AppRun app(install);
    const HWND box = WaitShown(app.ProcessId(), [](HWND w) { return ::GetDlgItem(w, IDC_APPLY) == nullptr; });
    ms = NowMs() - start;
    if (box == nullptr) {
        return false;
    }
    PressOk(box);
    app.WaitExit(10000);
    return true;
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The parts of start-up in the order the program runs them, timed on a window object of this process.
enum Part {
    kWmi,
    kDialog,
    kSingleInstance,
    kDetection,
    kLibrary,
    kChip,
    kSetUp,
    kSkin,
    kReadings,
    kPaint,
    kParts
};
const char* const kPartNames[kParts] = {
    "COM and WMI connection (window object made)",
    "dialog from its template, controls bound",
    "single-instance check (named mutex)",
    "card detection (WMI query, list file)",
    "driver library loaded and started",
    "chip reads (saved registers)",
    "window set-up, all of it",
    "  of which skin and outline (again, alone)",
    "  of which first readings (again, alone)",
    "first paint of the window and its controls",
};

void TimeParts(std::vector<double> (&parts)[kParts]) {
    Installation install;
    install.WriteCardList(kAmdBoard);
    double mark = NowMs();
    const auto lap = [&](Part part) {
        const double now = NowMs();
        parts[part].push_back(now - mark);
        mark = now;
    };
    auto dlg = std::make_unique<CVentiqDlg>();
    lap(kWmi);
    HWND window = CreateMainDialogHidden(&NoDialogProc);
    dlg->SubclassWindow(window);
    dlg->UpdateData();
    lap(kDialog);
    const CSingleInstance instance;
    lap(kSingleInstance);
    dlg->DetectCard();
    lap(kDetection);
    dlg->StartBackend();
    dlg->TakeFanControl();
    lap(kLibrary);
    dlg->ReadSavedRegisters();
    lap(kChip);
    dlg->SetUpWindow();
    lap(kSetUp);
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    lap(kPaint);
    dlg->LoadBackground(IDB_AMD_CARD);
    lap(kSkin);
    dlg->ReadInitialState();
    lap(kReadings);
    dlg->m_pFanOwner.reset();
    dlg->m_pAmdHardware = nullptr;
    dlg->m_pHardware.reset();
    ::DestroyWindow(window);
}

} // namespace

int main() {
    SetDisplayAdapter(0x1002, 0x6719);
    {
        // The first run starts Wine's own services in the prefix; no later run pays for that again.
        Launch warmUp;
        RunVentiqWindow(warmUp);
    }
    std::vector<double> floorShown, floorAnswering, box, shown, answering;
    for (int run = 0; run < kRuns; ++run) {
        Installation install;
        Launch floor;
        Launch ventiq;
        double boxMs = 0.0;
        if (!RunFloor(install, floor) || !RunVentiqMessageBox(boxMs) || !RunVentiqWindow(ventiq)) {
            std::printf("run %d: a window did not show\n", run);
            return 1;
        }
        floorShown.push_back(floor.shownMs);
        floorAnswering.push_back(floor.answeringMs);
        box.push_back(boxMs);
        shown.push_back(ventiq.shownMs);
        answering.push_back(ventiq.answeringMs);
    }
    std::printf("Start-up under Wine, medians of %d runs, wall time from CreateProcess\n", kRuns);
    std::printf("  floor (a window created and shown):   shown %6.0f ms   answering %6.0f ms\n",
                Median(floorShown), Median(floorAnswering));
    std::printf(
        "  Ventiq, simulated AMD board window:   shown %6.0f ms   answering %6.0f ms   own share %6.0f ms\n",
        Median(shown), Median(answering), Median(answering) - Median(floorAnswering));
    std::printf("  Ventiq to its first message box:      %6.0f ms (no WorkDir)\n", Median(box));

    std::vector<double> parts[kParts];
    for (int run = 0; run < kRuns; ++run) {
        TimeParts(parts);
    }
    std::printf("Parts of Ventiq's start-up in this process, medians of %d runs:\n", kRuns);
    for (int part = 0; part < kParts; ++part) {
        std::printf("  %-46s %8.1f ms\n", kPartNames[part], Median(parts[part]));
    }
    return 0;
}
