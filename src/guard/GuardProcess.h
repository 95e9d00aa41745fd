// Starting the guardian's processes: exactly the given handles inherited, out of the starter's job
// where the job lets them go, in the system directory, never showing a busy cursor.
#pragma once
#include "guard/HandOver.h"

#include <windows.h>

#include <string>

// VentiqGuard.exe in the directory of the running program (Ventiq.exe, or the guardian itself).
std::wstring GuardianExecutable();

// Starts `exe` with `arguments` after its quoted name. Only the three handles are inherited, so
// children that Ventiq starts later (the device tool, taskkill) get none of them and the guardian
// gets no other. Empty process information when it does not start.
PROCESS_INFORMATION StartGuardianProcess(const std::wstring& exe, const std::wstring& arguments,
                                         const GuardianHandles& handles);

// The launcher's run: starts the guardian proper with the same handles and returns its process id
// (the launcher's exit code, which Ventiq reads), or 0 when it could not.
DWORD RunLauncher(const GuardianHandles& handles);
