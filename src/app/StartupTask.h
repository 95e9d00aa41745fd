// Ventiq's start with Windows: the task "Ventiq" in the Task Scheduler's root folder.
#pragma once
#include <windows.h>

// Registers the task for the signed-in user, replacing the one there is; the scheduler's error
// otherwise (for instance when its service is not running).
HRESULT RegisterStartupTask();
// Removes the task; S_OK also when there was none.
HRESULT DeleteStartupTask();
// Whether the task is registered; false also when the scheduler cannot be asked.
bool StartupTaskExists();

// Turns the start with Windows on or off, the one way the tray menu and the command line take. On
// failure a message owned by owner says why, and the result is false.
bool SetStartWithWindows(bool on, HWND owner);
