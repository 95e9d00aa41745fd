// Single registry values: reads that fall back to the caller's default, and writes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The value's data (type not checked) when the key opens and the data fits in 4 bytes; shorter data
// replaces only its own low bytes of nDefault. Otherwise nDefault.
DWORD RegReadDword(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName, DWORD nDefault);

// The key below HKEY_CURRENT_USER that holds the program's own settings of each user.
inline const wchar_t kUserSettingsKey[] = L"Software\\Valdro\\Ventiq";

// Sets the value as REG_DWORD, creating the key when it is missing; false when the key can be neither
// opened nor created or the value is not written.
bool RegWriteDword(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName, DWORD nValue);

// Sets the value as REG_SZ, creating the key when it is missing; false as for RegWriteDword.
bool RegWriteString(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName,
                    const std::wstring& strValue);

// The value's text up to its first NUL, read from a room of 5001 bytes; the text always ends inside
// that room even when the data has no NUL or an odd length. strDefault when the key or value is
// missing or the data is 5001 bytes or more.
std::wstring RegReadString(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName,
                           const std::wstring& strDefault);

// A value's type and data size in bytes, for readers that accept one exact form.
struct RegValueShape {
    DWORD m_nType;
    DWORD m_cbData;
};

// The shape of the value; none when the key or the value is missing.
std::optional<RegValueShape> RegQueryShape(HKEY hRoot, const std::wstring& strSubKey,
                                           const std::wstring& strName);
