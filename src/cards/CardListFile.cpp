// Reading DList.cfg, the supported-card list in the installation directory.
#include "cards/CardListFile.h"

#include "app/Registry.h"
#include "framework/WinApp.h"

#include <windows.h>

namespace {

// Owns the list file's handle for the length of one pass.
class CListFile {
  public:
    explicit CListFile(const std::wstring& strPath)
        : m_hFile(CreateFileW(strPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~CListFile() {
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
    }
    CListFile(const CListFile&) = delete;
    CListFile& operator=(const CListFile&) = delete;

    // True when the file is open for reading and writing. Windows already refuses write access to a
    // read-only file, but root under Wine is granted it, so the attribute is checked as well.
    bool IsWritable() const {
        BY_HANDLE_FILE_INFORMATION info = {};
        return m_hFile != INVALID_HANDLE_VALUE && GetFileInformationByHandle(m_hFile, &info) &&
               !(info.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
    }

    // Appends the file's bytes to strBytes up to the end or a read error. False when the file is
    // larger than any real list.
    bool ReadAll(std::string& strBytes) const {
        char buf[4096];
        DWORD nRead = 0;
        while (ReadFile(m_hFile, buf, sizeof buf, &nRead, nullptr) && nRead > 0) {
            if (strBytes.size() + nRead > kLargestCardListBytes)
                return false;
            strBytes.append(buf, nRead);
        }
        return true;
    }

  private:
    HANDLE m_hFile;
};

// One pass: the whole file, or false when it cannot be opened or is oversized.
bool ReadListBytes(const std::wstring& strPath, std::string& strBytes) {
    const CListFile file(strPath);
    return file.IsWritable() && file.ReadAll(strBytes);
}

} // namespace

std::wstring ReadWorkDir() {
    // A portable copy has no installation value: it runs from wherever it was unpacked.
    const std::wstring exe = ExecutablePath();
    return RegReadString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Valdro\\Ventiq", L"WorkDir",
                         exe.substr(0, exe.find_last_of(L'\\')));
}

std::wstring CardListPath(const std::wstring& strWorkDir) {
    return strWorkDir + L"\\DList.cfg";
}

CardList ReadCardListFile(const std::wstring& strPath) {
    std::string strBytes;
    if (!ReadListBytes(strPath, strBytes)) {
        CardList lost;
        lost.m_bDataLost = true;
        return lost;
    }
    const std::size_t nLines = CountCardListLines(strBytes);
    if (nLines == 0)
        return {};

    // The second pass reads the file afresh; if it cannot, the counted rows stay empty.
    strBytes.clear();
    if (!ReadListBytes(strPath, strBytes))
        strBytes.clear();
    return ParseCardListLines(strBytes, nLines);
}

CardList ReadInstalledCardList() {
    return ReadCardListFile(CardListPath(ReadWorkDir()));
}
