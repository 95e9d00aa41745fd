// The simulated board's journal: open, append, close for every line, so a reader sees it at once.
#include "SimJournal.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace sim {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    return bytes;
}

namespace {
// Lines of Ventiq's guardian start with "guard ", so a reader tells its calls from the program's own.
const std::string& ProcessPrefix() {
    static const std::string prefix = [] {
        wchar_t path[MAX_PATH * 2] = {};
        const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
        const std::wstring image(path, length);
        const std::wstring name = image.substr(image.find_last_of(L"\\/") + 1);
        return _wcsicmp(name.c_str(), L"VentiqGuard.exe") == 0 ? std::string("guard ") : std::string();
    }();
    return prefix;
}
} // namespace

void AppendJournalLine(const std::string& text) {
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"VENTIQ_SIM_JOURNAL", path, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) {
        return;
    }
    const std::string line = ProcessPrefix() + text + "\n";
    // Several processes (the program, the device tool) append to one file; a sharing conflict with a
    // reader that opened it without write sharing is retried briefly.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file =
            ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(file);
            return;
        }
        if (::GetLastError() != ERROR_SHARING_VIOLATION) {
            return;
        }
        ::Sleep(10);
    }
}

CJournalLine& CJournalLine::Arg(const char* key, long long value) {
    return Arg(key, std::to_string(value));
}

CJournalLine& CJournalLine::Arg(const char* key, const std::string& value) {
    m_strText += ' ';
    m_strText += key;
    m_strText += '=';
    m_strText += value;
    return *this;
}

CJournalLine& CJournalLine::Hex(const char* key, std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return Arg(key, std::string(text));
}

} // namespace sim
