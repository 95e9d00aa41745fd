// The settings each user's Ventiq remembers between runs: the fan sets and whether to restore them.
#pragma once
#include "app/Registry.h"
#include "fan/FanMode.h"

#include <string>

struct RememberedFans {
    FanSetting m_outer;
    FanSetting m_middle;
};

// The fan sets stored under HKEY_CURRENT_USER\key. A set whose mode is missing, not a REG_SZ of
// "auto", "manual" or "curve", or "manual" without a REG_DWORD percentage in 20..100 is automatic; a
// valid percentage is kept in m_nPercent whatever the mode.
RememberedFans ReadRememberedFans(const std::wstring& key = kUserSettingsKey);

// Stores both fan sets, writing only the values that differ from what is stored; false when a write
// fails.
bool WriteRememberedFans(const RememberedFans& fans, const std::wstring& key = kUserSettingsKey);

// Whether the remembered fan sets are applied at start: RestoreAtStart is REG_DWORD 1.
bool ReadRestoreAtStart(const std::wstring& key = kUserSettingsKey);
// Stores RestoreAtStart as 0 or 1 unless it holds that already; false when the write fails.
bool WriteRestoreAtStart(bool restore, const std::wstring& key = kUserSettingsKey);
