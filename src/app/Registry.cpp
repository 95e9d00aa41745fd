// Single registry values: reads that fall back to the caller's default, and writes.
#include "app/Registry.h"

#include <cstring>
#include <vector>

namespace {

// Room a string value may use; data that fills it all is taken as too long.
constexpr DWORD kStringRoomBytes = 5001;

// Owns one open key and closes it on every path.
class CRegKey {
  public:
    CRegKey() = default;
    ~CRegKey() {
        if (m_hKey)
            RegCloseKey(m_hKey);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    bool Open(HKEY hRoot, const std::wstring& strSubKey, REGSAM nAccess) {
        return RegOpenKeyExW(hRoot, strSubKey.c_str(), 0, nAccess, &m_hKey) == ERROR_SUCCESS;
    }
    bool Create(HKEY hRoot, const std::wstring& strSubKey, REGSAM nAccess) {
        wchar_t szClass[] = L"";
        return RegCreateKeyExW(hRoot, strSubKey.c_str(), 0, szClass, 0, nAccess, nullptr, &m_hKey, nullptr) ==
               ERROR_SUCCESS;
    }
    HKEY Get() const { return m_hKey; }

  private:
    HKEY m_hKey = nullptr;
};

} // namespace

DWORD RegReadDword(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName, DWORD nDefault) {
    CRegKey key;
    if (!key.Open(hRoot, strSubKey, KEY_QUERY_VALUE))
        return nDefault;
    // The query's buffer is undefined after a failure, so the default is kept apart and only the
    // bytes of a successful read are laid over it.
    BYTE data[sizeof(DWORD)] = {};
    DWORD cbData = sizeof data;
    if (RegQueryValueExW(key.Get(), strName.c_str(), nullptr, nullptr, data, &cbData) != ERROR_SUCCESS)
        return nDefault;
    DWORD nResult = nDefault;
    std::memcpy(&nResult, data, cbData);
    return nResult;
}

namespace {
// Opens the key for writing, creating it when it is missing.
bool OpenForWriting(CRegKey& key, HKEY hRoot, const std::wstring& strSubKey) {
    return key.Open(hRoot, strSubKey, KEY_SET_VALUE) ||
           key.Create(hRoot, strSubKey, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
}
} // namespace

bool RegWriteDword(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName, DWORD nValue) {
    CRegKey key;
    return OpenForWriting(key, hRoot, strSubKey) &&
           RegSetValueExW(key.Get(), strName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nValue),
                          sizeof nValue) == ERROR_SUCCESS;
}

bool RegWriteString(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName,
                    const std::wstring& strValue) {
    CRegKey key;
    const DWORD cbData = static_cast<DWORD>((strValue.size() + 1) * sizeof(wchar_t));
    return OpenForWriting(key, hRoot, strSubKey) &&
           RegSetValueExW(key.Get(), strName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                          cbData) == ERROR_SUCCESS;
}

std::wstring RegReadString(HKEY hRoot, const std::wstring& strSubKey, const std::wstring& strName,
                           const std::wstring& strDefault) {
    CRegKey key;
    if (!key.Open(hRoot, strSubKey, KEY_QUERY_VALUE))
        return strDefault;
    std::vector<BYTE> data(kStringRoomBytes);
    DWORD cbData = kStringRoomBytes;
    if (RegQueryValueExW(key.Get(), strName.c_str(), nullptr, nullptr, data.data(), &cbData) !=
            ERROR_SUCCESS ||
        cbData >= kStringRoomBytes)
        return strDefault;
    // Only whole characters inside the data count, and the text stops at the first NUL among them.
    std::wstring strText(cbData / sizeof(wchar_t), L'\0');
    std::memcpy(strText.data(), data.data(), strText.size() * sizeof(wchar_t));
    return strText.substr(0, strText.find(L'\0'));
}

std::optional<RegValueShape> RegQueryShape(HKEY hRoot, const std::wstring& strSubKey,
                                           const std::wstring& strName) {
    CRegKey key;
    RegValueShape shape{};
    if (!key.Open(hRoot, strSubKey, KEY_QUERY_VALUE) ||
        RegQueryValueExW(key.Get(), strName.c_str(), nullptr, &shape.m_nType, nullptr, &shape.m_cbData) !=
            ERROR_SUCCESS) {
        return std::nullopt;
    }
    return shape;
}
