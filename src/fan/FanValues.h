// Fan values as the window shows and sends them: the speed label text, the 20..100 range of a typed
// percentage, and the NVIDIA cooler policies.
#pragma once
#include <string>

// Cooler policies of the NVIDIA driver's first cooler: a fixed level, and the driver's own control.
constexpr int kNvPolicyManual = 1;
constexpr int kNvPolicyDriver = 32;

// Fan speed as the speed labels show it: 45 gives "45%".
std::wstring PercentText(int percent);

// A typed percentage held to 20..100: at most 20 is 20, at least 100 is 100.
int ClampTypedPercent(int percent);

// The percentage an entry text asks for: its decimal value, held to 20..100.
int EntryPercent(const std::wstring& text);
