// Load-time behaviour shared by the simulated driver DLLs: refusing to load, hiding exports.
#pragma once
#include <windows.h>

namespace sim {

// DLL_PROCESS_ATTACH: FALSE when the scenario lists this DLL under fault.absent; otherwise removes the
// exports listed under fault.missing from the export table and journals the load.
BOOL AttachModule(HMODULE module);
void DetachModule(HMODULE module);

} // namespace sim
