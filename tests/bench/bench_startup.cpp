// Benchmark: time from starting Ventiq.exe to its first message box (no WorkDir: the earliest
// failure after the single-instance rule, WMI detection and the list file).
#include "Harness.h"

#include <algorithm>
#include <cstdio>
#include <vector>

int main() {
    using namespace e2e;
    SetDisplayAdapter(0x1002, 0x6719);
    std::vector<double> times;
    for (int run = 0; run < 7; ++run) {
        Installation install;
        Installation::SetWorkDir(nullptr);
        LARGE_INTEGER frequency, start, end;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        AppRun app(install);
        const HWND box = app.WaitMessageBox(30000);
        ::QueryPerformanceCounter(&end);
        if (box == nullptr) {
            std::printf("run %d: no message box\n", run);
            return 1;
        }
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
        PressOk(box);
        app.WaitExit(10000);
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to first message box: median %.0f ms, min %.0f ms, max %.0f ms (%zu runs)\n",
                times[times.size() / 2], times.front(), times.back(), times.size());
    return 0;
}
