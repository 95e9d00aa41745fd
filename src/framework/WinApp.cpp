// CWinApp: the application object, its name and its message boxes.
#include "framework/WinApp.h"

CWinApp* CWinApp::s_pApp = nullptr;

std::wstring ExecutablePath() {
    // The path may be longer than MAX_PATH; the buffer grows until the whole of it fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

namespace {
std::wstring ExecutableBaseName() {
    std::wstring name = ExecutablePath();
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        name.erase(0, slash + 1);
    }
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) {
        name.erase(dot);
    }
    return name;
}
} // namespace

CWinApp::CWinApp() : m_strAppName(ExecutableBaseName()) {
    s_pApp = this;
}

CWinApp::~CWinApp() {
    if (s_pApp == this) {
        s_pApp = nullptr;
    }
}

int RunApplication(CWinApp& app) {
    app.InitInstance();
    return app.m_nExitCode;
}

int AppMessageBox(HWND owner, const std::wstring& text) {
    const CWinApp* app = CWinApp::Current();
    const std::wstring caption = app != nullptr ? app->AppName() : std::wstring();
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
