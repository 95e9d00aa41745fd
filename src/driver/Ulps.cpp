// The AMD driver's ULPS switch: recursive walks of the display class tree that read or write
// "EnableUlps" in every adapter key.
#include "app/Registry.h"
#include "app/VentiqDlg.h"

#include <functional>

namespace {
const wchar_t kUlpsValue[] = L"EnableUlps";
constexpr DWORD kNameRoom = 256;  // characters, terminator included
constexpr DWORD kValueRoom = 512; // bytes

// Whether a value of this name exists with at most 512 bytes of data, whatever its type.
bool HasSmallValue(HKEY key, const wchar_t* name) {
    BYTE data[kValueRoom];
    DWORD size = kValueRoom;
    return ::RegQueryValueExW(key, name, nullptr, nullptr, data, &size) == ERROR_SUCCESS;
}

// An adapter key carries both the match value and "EnableUlps".
bool IsAdapterKey(HKEY parent, const wchar_t* name, const std::wstring& matchName) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    const bool adapter = HasSmallValue(key, matchName.c_str()) && HasSmallValue(key, kUlpsValue);
    ::RegCloseKey(key);
    return adapter;
}

// Visits the subkeys of keyPath below HKEY_LOCAL_MACHINE in index order, each one's own subtree
// first (through `descend`), then the subkey itself when it is an adapter key. `visit` returns
// true to stop this level.
void WalkAdapterKeys(const std::wstring& keyPath, const std::wstring& matchName,
                     const std::function<void(const std::wstring&)>& descend,
                     const std::function<bool(const std::wstring&)>& visit) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[kNameRoom];
        DWORD length = kNameRoom;
        const LONG result = ::RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) {
            continue; // a name of 256 characters or more: skipped with its subtree
        }
        if (result != ERROR_SUCCESS) {
            break; // the end, or an error that every further index would repeat
        }
        const std::wstring childPath = keyPath + L"\\" + name;
        descend(childPath);
        if (IsAdapterKey(key, name, matchName) && visit(childPath)) {
            break;
        }
    }
    ::RegCloseKey(key);
}
} // namespace

BOOL CVentiqDlg::ReadUlpsState(const std::wstring& keyPath, const std::wstring& matchName) {
    WalkAdapterKeys(
        keyPath, matchName, [&](const std::wstring& child) { ReadUlpsState(child, matchName); },
        [&](const std::wstring& adapterKey) {
            if (RegReadDword(HKEY_LOCAL_MACHINE, adapterKey, kUlpsValue, 0) == 1) {
                m_bUlpsAtStart = true;
                m_bUlpsEnabled = true;
            }
            return true; // the first adapter key of a level decides it
        });
    return TRUE;
}

BOOL CVentiqDlg::WriteUlpsState(const std::wstring& keyPath, const std::wstring& matchName, DWORD value) {
    WalkAdapterKeys(
        keyPath, matchName, [&](const std::wstring& child) { WriteUlpsState(child, matchName, value); },
        [&](const std::wstring& adapterKey) {
            RegWriteDword(HKEY_LOCAL_MACHINE, adapterKey, kUlpsValue, value != 0 ? 1 : 0);
            return false; // every adapter key is written
        });
    return TRUE;
}
