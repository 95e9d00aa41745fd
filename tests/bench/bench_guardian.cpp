// Benchmark: the guardian on the simulated board. Time from ending Ventiq (TerminateProcess, or Ventiq
// and every process it started ended together) to the guardian's last hand-back call in the journal
// and to its own end; from ending the guardian to a new one armed (its driver session open); and what
// the guardian costs while it waits: private memory and CPU time over a few seconds.
#include "Harness.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {
using namespace e2e;

struct Board {
    const char* name;
    DWORD vendorId;
    DWORD deviceId;
    const char* cardList;
    // The guardian's last call of its hand-back, the chip's register 0x88: how its line starts, and a
    // part of it.
    const char* lastCall;
    const char* lastCallPart;
    // The guardian's session is open once it has made this call.
    const char* armedCall;
};

const Board kBoards[] = {
    {"AMD", 0x1002, 0x6719, "1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\n",
     "guard ADL_Display_WriteAndReadI2C ", "offset=0x88 action=2", "guard ADL_Main_Control_Create"},
    {"NVIDIA", 0x10DE, 0x1C82, "10DE;1C82;0000;0000;Valdro simulated NVIDIA board;120;100;80;60;\n",
     "guard NvAPI_I2CWrite ", "reg=0x88", "guard NvAPI_EnumPhysicalGPUs"},
};

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

size_t CountLines(const Installation& install, const std::string& start, const std::string& part = "") {
    size_t count = 0;
    for (const std::string& line : install.Journal()) {
        count += line.compare(0, start.size(), start) == 0 && line.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(1);
    }
    return true;
}

void Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 20000, &result);
}

ULONGLONG CpuTime100ns(HANDLE process) {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto value = [](const FILETIME& t) {
        return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime;
    };
    return value(kernel) + value(user);
}

std::string Summary(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    char text[120];
    std::snprintf(text, sizeof text, "median %.0f ms, min %.0f ms, max %.0f ms (%zu runs)",
                  values[values.size() / 2], values.front(), values.back(), values.size());
    return text;
}
} // namespace

int main() {
    for (const Board& board : kBoards) {
        std::vector<double> toLastCall[2];
        std::vector<double> toGuardianEnd[2];
        std::vector<double> toNewGuardianArmed;
        for (int run = 0; run < 6; ++run) {
            const bool wholeTree = run % 2 == 1;
            SetDisplayAdapter(board.vendorId, board.deviceId);
            Installation install;
            install.WriteCardList(board.cardList);
            AppRun app(install);
            const HWND window = app.WaitMainWindow();
            if (window == nullptr) {
                std::printf("%s run %d: no window\n", board.name, run);
                return 1;
            }
            // Both fan sets manual: the guardian is armed before the first write.
            for (int id : {1017, 1018}) {
                Send(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
            }
            Send(::GetDlgItem(window, 1010), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"77"));
            Send(::GetDlgItem(window, 1011), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"66"));
            Send(window, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(window, 1013)));
            std::vector<DWORD> guardians = Processes(L"VentiqGuard.exe");
            if (guardians.size() != 1) {
                std::printf("%s run %d: no guardian\n", board.name, run);
                return 1;
            }
            HANDLE guardian =
                ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE, FALSE,
                              guardians[0]);
            if (run == 0) {
                const ULONGLONG cpuBefore = CpuTime100ns(guardian);
                ::Sleep(5000);
                const ULONGLONG cpuAfter = CpuTime100ns(guardian);
                PROCESS_MEMORY_COUNTERS_EX memory{};
                memory.cb = sizeof(memory);
                ::GetProcessMemoryInfo(guardian, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                       sizeof(memory));
                // Windows counts private bytes in both fields; Wine fills only the page-file one.
                const size_t privateBytes = std::max(memory.PrivateUsage, memory.PagefileUsage);
                std::printf("%s guardian while it waits: private memory %zu KB, working set %zu KB, "
                            "CPU %.1f ms in 5 s (%.1f ms since its start)\n",
                            board.name, privateBytes / 1024,
                            static_cast<size_t>(memory.WorkingSetSize) / 1024,
                            static_cast<double>(cpuAfter - cpuBefore) / 10000.0,
                            static_cast<double>(cpuAfter) / 10000.0);
            }
            // The guardian ended while Ventiq runs: replaced at Ventiq's next readings tick.
            LARGE_INTEGER killed, armed;
            const size_t sessions = CountLines(install, board.armedCall);
            ::QueryPerformanceCounter(&killed);
            ::TerminateProcess(guardian, 1);
            ::CloseHandle(guardian);
            const bool replaced = WaitFor([&] { return CountLines(install, board.armedCall) > sessions; }, 10000);
            ::QueryPerformanceCounter(&armed);
            guardians.clear();
            WaitFor([&] { return (guardians = Processes(L"VentiqGuard.exe")).size() == 1; }, 5000);
            if (!replaced || guardians.size() != 1) {
                std::printf("%s run %d: the guardian was not replaced\n", board.name, run);
                return 1;
            }
            toNewGuardianArmed.push_back(Milliseconds(killed, armed));
            guardian = ::OpenProcess(SYNCHRONIZE, FALSE, guardians[0]);

            LARGE_INTEGER start, lastCall, end;
            ::QueryPerformanceCounter(&start);
            if (wholeTree) {
                EndProcessTree(app.ProcessId());
            } else {
                app.Terminate();
            }
            const bool written =
                WaitFor([&] { return CountLines(install, board.lastCall, board.lastCallPart) > 0; }, 10000);
            ::QueryPerformanceCounter(&lastCall);
            const bool ended = ::WaitForSingleObject(guardian, 10000) == WAIT_OBJECT_0;
            ::QueryPerformanceCounter(&end);
            ::CloseHandle(guardian);
            if (!written || !ended) {
                std::printf("%s run %d: the guardian did not hand back\n", board.name, run);
                return 1;
            }
            toLastCall[wholeTree].push_back(Milliseconds(start, lastCall));
            toGuardianEnd[wholeTree].push_back(Milliseconds(start, end));
        }
        const char* endings[2] = {"TerminateProcess", "the whole process tree ended"};
        for (int kind = 0; kind < 2; ++kind) {
            std::printf("%s %s to the guardian's last hand-back call: %s\n", board.name, endings[kind],
                        Summary(toLastCall[kind]).c_str());
            std::printf("%s %s to the guardian's end: %s\n", board.name, endings[kind],
                        Summary(toGuardianEnd[kind]).c_str());
        }
        std::printf("%s guardian ended to a new one armed (next readings tick included): %s\n", board.name,
                    Summary(toNewGuardianArmed).c_str());
    }
    SetDisplayAdapter(0x1002, 0x6719);
    return 0;
}
