// The last chance to hand the fans back when the program crashes.
#pragma once

class CFanOwner;

// Installs one routine for every way the process can crash: an unhandled structured exception,
// std::terminate, an invalid-parameter report and a pure virtual call. Runs before the window exists.
// Exceptions escaping a window procedure reach it too: every window procedure of the program runs
// under its own frame (framework/WindowProcGuard.h), so the system cannot swallow them.
void InstallCrashGuard();

// The owner whose fans the routine hands back: set while a fan set is taken from its default control.
void SetCrashGuardTarget(CFanOwner* owner);
// Nothing to hand back any more, if `owner` is still the target.
void ClearCrashGuardTarget(const CFanOwner* owner);
