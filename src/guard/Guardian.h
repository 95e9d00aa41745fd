// The guardian's run: it holds the fans' hand-over record and its own driver session, waits for
// Ventiq's process to end, and hands the fans back unless Ventiq said it had done so itself.
#pragma once
#include "guard/HandOver.h"

#include <windows.h>

#include <optional>

// How the guardian ended, as its exit code.
enum GuardianExit : int {
    kGuardianQuiet = 0,      // Ventiq had handed the fans back; nothing was written
    kGuardianHandedBack = 1, // Ventiq ended without it; the guardian handed the fans back
    kGuardianRefused = 2,    // bad handles or a record it would not trust; nothing was written
    kGuardianNoDriver = 3,   // its own driver session did not open; nothing was written
    kGuardianNotConfirmed = 4, // Ventiq ended without it; the hand-back was not confirmed in time
};

// How long the guardian keeps trying to hand the fans back while the driver refuses.
constexpr DWORD kGuardianHandBackBudgetMs = 5000;

// The record Ventiq writes first; nothing when the pipe breaks before a whole record arrived or the
// record is refused.
std::optional<HandOver> ReadHandOver(HANDLE pipe);

// Blocks (no polling) until `ventiq` is signalled, then reads what Ventiq left in the pipe: true
// unless that was the word that the fans are back. Whatever Ventiq wrote before it ended is still
// there, even though its end of the pipe is closed.
bool EndedWithoutHandingBack(HANDLE pipe, HANDLE ventiq);

// The guardian's run: record, own driver session, "armed", one blocking wait, the hand-back if needed.
GuardianExit RunGuardian(const GuardianHandles& handles);
