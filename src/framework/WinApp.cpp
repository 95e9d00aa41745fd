// CWinApp: the application object, its name and its message boxes.
#include "framework/WinApp.h"

CWinApp* CWinApp::s_pApp = nullptr;

namespace {
std::wstring ExecutableBaseName() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
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
    return 0;
}

int AppMessageBox(HWND owner, const std::wstring& text) {
    const CWinApp* app = CWinApp::Current();
    const std::wstring caption = app != nullptr ? app->AppName() : std::wstring();
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
