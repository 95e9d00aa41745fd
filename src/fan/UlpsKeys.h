// Where the AMD driver keeps its ULPS switch: the display class tree, and the value that marks a
// subkey of it as an adapter key.
#pragma once

inline constexpr wchar_t kDisplayClassKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Video";
inline constexpr wchar_t kAdapterMarkerValue[] = L"AdapterDesc";
