// The last chance to hand the fans back when the program crashes.
#pragma once

class CFanHardware;

// Installs one routine for every way the process can crash: an unhandled structured exception,
// std::terminate, an invalid-parameter report and a pure virtual call. Runs before the window exists.
// Exceptions escaping a window procedure reach it too: every window procedure of the program runs
// under its own frame (framework/WindowProcGuard.h), so the system cannot swallow them.
void InstallCrashGuard();

// The fans the routine hands back; null while nothing has been taken from the defaults (before the
// vendor back end is up, and once the window has handed them back on its way out).
void SetCrashGuardTarget(CFanHardware* hardware);
