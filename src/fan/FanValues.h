// Fan values as the window shows and sends them: the speed label text and the 20..100 range of a
// typed percentage.
#pragma once
#include <string>

// Fan speed as the speed labels show it: 45 gives "45%".
std::wstring PercentText(int percent);

// A typed percentage held to 20..100: at most 20 is 20, at least 100 is 100.
int ClampTypedPercent(int percent);

// The percentage an entry text asks for: its decimal value, held to 20..100.
int EntryPercent(const std::wstring& text);
