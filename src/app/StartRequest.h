// What Ventiq's command line asks of a start.
#pragma once
#include <string>
#include <vector>

// The window (no arguments), the window hidden in the tray (/tray), the start with Windows turned on
// or off (/startup on|off), or arguments Ventiq does not know.
enum class StartRequest { Window, Tray, StartupOn, StartupOff, Unknown };

// From the arguments after the program's name; options and words are matched without regard to case.
StartRequest ParseStartRequest(const std::vector<std::wstring>& arguments);

// This process's arguments after the program's name, as CommandLineToArgvW splits them.
std::vector<std::wstring> ProcessArguments();
