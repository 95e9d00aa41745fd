// Soak of the main window: Ventiq.exe's GDI objects, USER objects and kernel handles after start-up
// and after thousands of monitoring ticks (each one reads the live board and repaints the controls
// whose values changed, each through an off-screen picture). The counts must not grow.
#include "Harness.h"

#include <winternl.h>

#include <cstdio>
#include <vector>

namespace {
constexpr int kTicks = 1200;
constexpr int kBatch = 100;

// GDI objects of the process. Where the system does not count them (Wine), the process's own GDI
// handle table, which its PEB points to, is counted: a live entry has a non-zero type byte.
DWORD GdiObjects(HANDLE process) {
    if (const DWORD counted = ::GetGuiResources(process, GR_GDIOBJECTS); counted != 0) {
        return counted;
    }
    using QueryFn = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0) {
        return 0;
    }
    constexpr size_t kTableOffset = 0xF8; // PEB.GdiSharedHandleTable on x64
    constexpr size_t kEntries = 0x10000;
    constexpr size_t kEntrySize = 24;
    constexpr size_t kTypeOffset = 14;
    const BYTE* table = nullptr;
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kTableOffset,
                             &table, sizeof(table), &read) ||
        table == nullptr) {
        return 0;
    }
    std::vector<BYTE> entries(kEntries * kEntrySize);
    if (!::ReadProcessMemory(process, table, entries.data(), entries.size(), &read)) {
        return 0;
    }
    DWORD live = 0;
    for (size_t i = 0; i < kEntries; ++i) {
        live += entries[i * kEntrySize + kTypeOffset] != 0 ? 1 : 0;
    }
    return live;
}

struct WindowCount {
    DWORD processId;
    DWORD windows;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++*reinterpret_cast<DWORD*>(param);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == c->processId) {
        ++c->windows;
        ::EnumChildWindows(window, &CountChild, reinterpret_cast<LPARAM>(&c->windows));
    }
    return TRUE;
}

// USER objects of the process; where the system does not count them, its windows.
DWORD UserObjects(HANDLE process, DWORD processId, bool* windowsOnly) {
    *windowsOnly = false;
    if (const DWORD counted = ::GetGuiResources(process, GR_USEROBJECTS); counted != 0) {
        return counted;
    }
    *windowsOnly = true;
    WindowCount count{processId, 0};
    ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

// Kernel handles of the process, from the system's handle list (GetProcessHandleCount answers 0
// under Wine).
DWORD KernelHandles(DWORD processId) {
    struct HandleEntry {
        PVOID object;
        ULONG_PTR processId;
        ULONG_PTR handle;
        ULONG access;
        USHORT backTrace;
        USHORT type;
        ULONG attributes;
        ULONG reserved;
    };
    struct HandleList {
        ULONG_PTR count;
        ULONG_PTR reserved;
        HandleEntry entries[1];
    };
    using QueryFn = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr ULONG kExtendedHandleInformation = 64;
    constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status = 0;
    while ((status = query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           nullptr)) == kLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) {
        return 0;
    }
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    DWORD handles = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i) {
        handles += list->entries[i].processId == processId ? 1 : 0;
    }
    return handles;
}

void Report(const char* when, HANDLE process, DWORD processId) {
    bool windowsOnly = false;
    const DWORD user = UserObjects(process, processId, &windowsOnly);
    std::printf("%-28s GDI objects %5lu   %s %4lu   handles %4lu\n", when, GdiObjects(process),
                windowsOnly ? "windows     " : "USER objects", user, KernelHandles(processId));
}

// Ticks the program has run: each one reads the GPU temperature once.
size_t TicksSeen(const e2e::Installation& install) {
    return install.Calls("ADL_Overdrive5_Temperature_Get").size();
}
} // namespace

int main() {
    using namespace e2e;
    SetDisplayAdapter(0x1002, 0x6719);
    Installation install;
    install.WriteCardList("1002;6719;0000;0000;Valdro simulated AMD board;120;100;80;60;\n");
    install.WriteScenario("live = 1\n");
    AppRun app(install);
    const HWND window = app.WaitMainWindow();
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.ProcessId());
    if (window == nullptr || process == nullptr) {
        std::printf("Ventiq did not start\n");
        return 1;
    }
    Pump(3000);
    Report("after start-up:", process, app.ProcessId());

    const size_t before = TicksSeen(install);
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    for (int posted = 0; posted < kTicks; posted += kBatch) {
        for (int i = 0; i < kBatch; ++i) {
            ::PostMessageW(window, WM_TIMER, 0, 0);
        }
        // Let the batch run before the next, so the queue never holds more than one batch.
        const size_t target = before + static_cast<size_t>(posted + kBatch);
        const ULONGLONG deadline = ::GetTickCount64() + 60000;
        while (TicksSeen(install) < target && ::GetTickCount64() < deadline) {
            Pump(100);
        }
    }
    ::QueryPerformanceCounter(&end);
    const size_t ran = TicksSeen(install) - before;
    const double ms =
        1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    Pump(1500);
    char when[64];
    std::snprintf(when, sizeof(when), "after %zu more ticks:", ran);
    Report(when, process, app.ProcessId());
    std::printf("%zu ticks in %.0f ms: %.2f ms per tick (board reads and the repaint of what changed)\n", ran, ms,
                ran > 0 ? ms / static_cast<double>(ran) : 0.0);
    ::CloseHandle(process);
    return ran >= static_cast<size_t>(kTicks) ? 0 : 1;
}
