// The notification-area icon: its records, the hidden callback window and the program's menu.
#include "ui/TrayIcon.h"

#include "framework/WinApp.h"
#include "res/resource.h"
#include "ui/MessageFilter.h"

#include <algorithm>
#include <cwchar>
#include <initializer_list>
#include <iterator>

namespace {
// The only icon id the program uses.
const UINT kIconId = 1;
const wchar_t kWindowClass[] = L"Ventiq.TrayWnd";
const wchar_t kTip[] = L"Ventiq";
// The main window shows itself on this command, as on "Show".
const WPARAM kShowCommand = 32768;

// Broadcast by the shell when it has (re)created the notification area.
UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

HWND MainWindow() {
    const CWinApp* app = CWinApp::Current();
    return app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
}
} // namespace

CSysTrayWnd::~CSysTrayWnd() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    }
}

void CSysTrayWnd::Create() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    // A second tray object finds the class registered already.
    ::RegisterClassW(&windowClass);
    HWND hWnd = ::CreateWindowExW(0, kWindowClass, L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    SubclassWindow(hWnd);
    // Running elevated, the filter would drop what the lower-integrity shell sends: its restart
    // broadcast and the icon's mouse events.
    const MessageFilterFunctions filter = FindMessageFilterFunctions();
    for (const UINT message : {TaskbarCreatedMessage(), WM_TRAYNOTIFY}) {
        AllowFromLowerIntegrity(filter, hWnd, message);
    }
}

const WndEventTable* CSysTrayWnd::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CSysTrayWnd::OnTrayNotify>(WM_TRAYNOTIFY),
        OnMessage<&CSysTrayWnd::OnTaskbarCreated>(TaskbarCreatedMessage()),
    };
    static const WndEventTable table{nullptr, events};
    return &table;
}

LRESULT CSysTrayWnd::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    POINT cursor{0, 0};
    ::GetCursorPos(&cursor);
    if (m_pOwner == nullptr) {
        return 0;
    }
    const UINT id = static_cast<UINT>(wParam);
    const int x = cursor.x;
    const int y = cursor.y;
    switch (lParam) {
    case WM_LBUTTONDOWN:
        m_pOwner->OnLButtonDown(id, x, y);
        break;
    case WM_RBUTTONDOWN:
        m_pOwner->OnRButtonDown(id, x, y);
        break;
    case WM_MBUTTONDOWN:
        m_pOwner->OnMButtonDown(id, x, y);
        break;
    case WM_LBUTTONUP:
        m_pOwner->OnLButtonUp(id, x, y);
        break;
    case WM_RBUTTONUP:
        m_pOwner->OnRButtonUp(id, x, y);
        break;
    case WM_MBUTTONUP:
        m_pOwner->OnMButtonUp(id, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        m_pOwner->OnLButtonDblClk(id, x, y);
        break;
    case WM_RBUTTONDBLCLK:
        m_pOwner->OnRButtonDblClk(id, x, y);
        break;
    case WM_MBUTTONDBLCLK:
        m_pOwner->OnMButtonDblClk(id, x, y);
        break;
    case WM_MOUSEMOVE:
        m_pOwner->OnMouseMove(id, x, y);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CSysTrayWnd::OnTaskbarCreated(WPARAM, LPARAM) {
    // A restarted shell has forgotten the icons; without them a hidden window is unreachable.
    if (m_pOwner != nullptr) {
        m_pOwner->RestoreIcons();
    }
    return 0;
}

CSysTrayIcon::CSysTrayIcon() {
    m_wnd.Create();
    m_wnd.m_pOwner = this;
}

CSysTrayIcon::~CSysTrayIcon() {
    while (!m_icons.empty()) {
        DeleteIcon(m_icons.front()->uID);
    }
}

NOTIFYICONDATAW* CSysTrayIcon::FindIcon(UINT id) const {
    const auto found =
        std::find_if(m_icons.begin(), m_icons.end(), [id](const auto& icon) { return icon->uID == id; });
    return found != m_icons.end() ? found->get() : nullptr;
}

BOOL CSysTrayIcon::NotifyShell(DWORD message, NOTIFYICONDATAW& record) {
    return ::Shell_NotifyIconW(message, &record);
}

BOOL CSysTrayIcon::AddIcon(HICON icon) {
    if (FindIcon(kIconId) != nullptr) {
        return TRUE;
    }
    if (icon == nullptr) {
        return FALSE;
    }
    auto record = std::make_unique<NOTIFYICONDATAW>();
    record->cbSize = sizeof(NOTIFYICONDATAW);
    record->hWnd = m_wnd.GetSafeHwnd();
    record->uID = kIconId;
    record->uFlags = 0;
    record->uCallbackMessage = WM_TRAYNOTIFY;
    record->hIcon = icon;
    ::lstrcpynW(record->szTip, kTip, static_cast<int>(std::size(record->szTip)));
    m_icons.push_back(std::move(record));
    return TRUE;
}

BOOL CSysTrayIcon::ShowIcon() {
    NOTIFYICONDATAW* record = FindIcon(kIconId);
    if (record == nullptr) {
        return FALSE;
    }
    const bool shown = record->uFlags != 0;
    record->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    BOOL result = NotifyShell(shown ? NIM_MODIFY : NIM_ADD, *record);
    if (!result && shown) {
        result = NotifyShell(NIM_ADD, *record);
    }
    if (!result) {
        record->uFlags = 0;
    }
    return result;
}

bool CSysTrayIcon::IsIconShown() const {
    const NOTIFYICONDATAW* record = FindIcon(kIconId);
    return record != nullptr && record->uFlags != 0;
}

BOOL CSysTrayIcon::SetTip(const std::wstring& text) {
    NOTIFYICONDATAW* record = FindIcon(kIconId);
    if (record == nullptr) {
        return FALSE;
    }
    wchar_t tip[sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t)] = {};
    ::lstrcpynW(tip, text.c_str(), static_cast<int>(std::size(tip)));
    if (std::wcscmp(tip, record->szTip) == 0) {
        return FALSE;
    }
    std::copy(std::begin(tip), std::end(tip), record->szTip);
    return record->uFlags != 0 ? ShowIcon() : TRUE;
}

BOOL CSysTrayIcon::ShowBalloon(const std::wstring& text) {
    NOTIFYICONDATAW* record = FindIcon(kIconId);
    if (record == nullptr || record->uFlags == 0) {
        return FALSE;
    }
    // The balloon rides on one update of the icon; the record keeps no balloon for later updates.
    NOTIFYICONDATAW balloon = *record;
    balloon.uFlags = NIF_INFO;
    ::lstrcpynW(balloon.szInfo, text.c_str(), static_cast<int>(std::size(balloon.szInfo)));
    ::lstrcpynW(balloon.szInfoTitle, kTip, static_cast<int>(std::size(balloon.szInfoTitle)));
    balloon.dwInfoFlags = NIIF_INFO;
    return NotifyShell(NIM_MODIFY, balloon);
}

BOOL CSysTrayIcon::DeleteIcon(UINT id) {
    const auto found =
        std::find_if(m_icons.begin(), m_icons.end(), [id](const auto& icon) { return icon->uID == id; });
    if (found == m_icons.end()) {
        return FALSE;
    }
    (*found)->uFlags = 0;
    const BOOL result = NotifyShell(NIM_DELETE, **found);
    // Freed whatever the shell answered, so removing every icon always ends.
    m_icons.erase(found);
    return result;
}

void CSysTrayIcon::RestoreIcons() {
    for (const auto& record : m_icons) {
        if (record->uFlags != 0) {
            NotifyShell(NIM_ADD, *record);
        }
    }
}

void CMyAppTrayIcon::OnRButtonDown(UINT, int x, int y) {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
    HWND mainWindow = MainWindow();
    if (menu == nullptr || mainWindow == nullptr) {
        if (menu != nullptr) {
            ::DestroyMenu(menu);
        }
        return;
    }
    // The menu closes when the user clicks elsewhere only if its owner is in the foreground.
    ::SetForegroundWindow(mainWindow);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, mainWindow, nullptr);
    // Without a message after it, the menu may not close when the user clicks elsewhere.
    ::PostMessageW(mainWindow, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
}

void CMyAppTrayIcon::OnLButtonDblClk(UINT, int, int) {
    HWND mainWindow = MainWindow();
    if (m_bShowOnDblClk && mainWindow != nullptr) {
        ::SendMessageW(mainWindow, WM_COMMAND, kShowCommand, 0);
    }
}
