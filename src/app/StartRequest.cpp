// What Ventiq's command line asks of a start.
#include "app/StartRequest.h"

#include <windows.h>
#include <shellapi.h>

namespace {
bool Is(const std::wstring& argument, const wchar_t* word) {
    return ::CompareStringOrdinal(argument.c_str(), -1, word, -1, TRUE) == CSTR_EQUAL;
}
} // namespace

StartRequest ParseStartRequest(const std::vector<std::wstring>& arguments) {
    if (arguments.empty()) {
        return StartRequest::Window;
    }
    if (arguments.size() == 1 && Is(arguments[0], L"/tray")) {
        return StartRequest::Tray;
    }
    if (arguments.size() == 2 && Is(arguments[0], L"/startup")) {
        if (Is(arguments[1], L"on")) {
            return StartRequest::StartupOn;
        }
        if (Is(arguments[1], L"off")) {
            return StartRequest::StartupOff;
        }
    }
    return StartRequest::Unknown;
}

std::vector<std::wstring> ProcessArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (words == nullptr) {
        return arguments;
    }
    arguments.assign(words + (count > 0 ? 1 : 0), words + count);
    ::LocalFree(words);
    return arguments;
}
