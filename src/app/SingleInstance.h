// The single-instance rule applied at start-up, before the card is detected.
#pragma once
#include <string>

// Looks for a second process whose executable name is imageName (exact, case-sensitive). On
// Windows XP it asks taskkill to end that process; on Windows 7 and 8 it ends this process at
// once; elsewhere it does nothing.
void EnforceSingleInstance(const std::wstring& imageName, bool isWinXP, bool isWin7OrWin8);
