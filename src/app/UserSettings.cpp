// The settings each user's Ventiq remembers between runs, as values of its key below HKEY_CURRENT_USER.
#include "app/UserSettings.h"

#include <optional>

namespace {
constexpr int kLowestPercent = 20;
constexpr int kHighestPercent = 100;

const struct {
    FanMode m_mode;
    const wchar_t* m_szName;
} kModeNames[] = {{FanMode::Automatic, L"auto"}, {FanMode::Manual, L"manual"}, {FanMode::Curve, L"curve"}};

// A value counts only with the type Ventiq writes; anything else is treated as absent.
std::optional<DWORD> StoredDword(const std::wstring& key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

// The text up to its first NUL; a mode name is short, so longer data is malformed anyway.
std::optional<std::wstring> StoredString(const std::wstring& key, const wchar_t* name) {
    wchar_t text[16] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text);
}

bool WriteDwordIfChanged(const std::wstring& key, const wchar_t* name, DWORD value) {
    return StoredDword(key, name) == value || RegWriteDword(HKEY_CURRENT_USER, key, name, value);
}

bool WriteStringIfChanged(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    return StoredString(key, name) == value || RegWriteString(HKEY_CURRENT_USER, key, name, value);
}

FanSetting ReadFanSetting(const std::wstring& key, const wchar_t* modeName, const wchar_t* percentName) {
    FanSetting setting;
    const std::optional<DWORD> percent = StoredDword(key, percentName);
    const bool percentValid = percent && *percent >= kLowestPercent && *percent <= kHighestPercent;
    if (percentValid) {
        setting.m_nPercent = static_cast<int>(*percent);
    }
    const std::optional<std::wstring> mode = StoredString(key, modeName);
    for (const auto& known : kModeNames) {
        if (mode == known.m_szName && (known.m_mode != FanMode::Manual || percentValid)) {
            setting.m_mode = known.m_mode;
        }
    }
    return setting;
}

bool WriteFanSetting(const std::wstring& key, const FanSetting& setting, const wchar_t* modeName,
                     const wchar_t* percentName) {
    const wchar_t* mode = kModeNames[0].m_szName;
    for (const auto& known : kModeNames) {
        if (known.m_mode == setting.m_mode) {
            mode = known.m_szName;
        }
    }
    const bool modeWritten = WriteStringIfChanged(key, modeName, mode);
    return WriteDwordIfChanged(key, percentName, static_cast<DWORD>(setting.m_nPercent)) && modeWritten;
}
} // namespace

RememberedFans ReadRememberedFans(const std::wstring& key) {
    return {ReadFanSetting(key, L"OuterMode", L"OuterPercent"),
            ReadFanSetting(key, L"MiddleMode", L"MiddlePercent")};
}

bool WriteRememberedFans(const RememberedFans& fans, const std::wstring& key) {
    const bool outerWritten = WriteFanSetting(key, fans.m_outer, L"OuterMode", L"OuterPercent");
    return WriteFanSetting(key, fans.m_middle, L"MiddleMode", L"MiddlePercent") && outerWritten;
}

bool ReadRestoreAtStart(const std::wstring& key) {
    return StoredDword(key, L"RestoreAtStart") == 1u;
}

bool WriteRestoreAtStart(bool restore, const std::wstring& key) {
    return WriteDwordIfChanged(key, L"RestoreAtStart", restore ? 1 : 0);
}
