// Single registry values: reads that fall back to the caller's default and a DWORD write.
#pragma once

#include <windows.h>

#include <string>

// The value's data (type not checked) when the key opens and the data fits in 4 bytes; shorter data
// replaces only its own low bytes of nDefault. Otherwise nDefault.
DWORD RegReadDword(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName, DWORD nDefault);

// Sets the value as REG_DWORD, creating the key when it is missing; silently does nothing when the
// key can be neither opened nor created.
void RegWriteDword(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName, DWORD nValue);

// The value's text up to its first NUL, read from a room of 5001 bytes; the text always ends inside
// that room even when the data has no NUL or an odd length. strDefault when the key or value is
// missing or the data is 5001 bytes or more.
std::wstring RegReadString(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName,
                           const std::wstring& strDefault);
