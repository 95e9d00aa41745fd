// Tests of the tray icon: its records, what reaches the shell, the callback and the program's handlers.
#include "ControlHost.h"
#include "framework/WinApp.h"
#include "ui/TrayIcon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ShellCall {
    DWORD message;
    NOTIFYICONDATAW record;
};

// The program's tray object, with the shell replaced by a log (its answer is chosen by the test).
class CLoggedTray : public CMyAppTrayIcon {
public:
    std::vector<ShellCall> m_calls;
    BOOL m_bShellAnswer = TRUE;

protected:
    BOOL NotifyShell(DWORD message, NOTIFYICONDATAW& record) override {
        m_calls.push_back({message, record});
        return m_bShellAnswer;
    }
};

HICON ProgramIcon() {
    return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(130));
}

TEST(TrayIcon, TheHiddenWindowIsAnInvisiblePopup) {
    CLoggedTray tray;
    HWND hWnd = tray.m_wnd.GetSafeHwnd();
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(tray.m_wnd.m_pOwner, &tray);
    EXPECT_FALSE(::IsWindowVisible(hWnd));
    EXPECT_NE(::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_POPUP, 0);
    EXPECT_EQ(::GetParent(hWnd), nullptr);
}

TEST(TrayIcon, AddIconMakesOneRecordAndTellsTheShellNothing) {
    CLoggedTray tray;
    const HICON icon = ProgramIcon();
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(tray.AddIcon(icon));
    EXPECT_TRUE(tray.AddIcon(icon));
    ASSERT_EQ(tray.m_icons.size(), 1u);
    EXPECT_TRUE(tray.m_calls.empty());

    const NOTIFYICONDATAW& record = *tray.m_icons.front();
    EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(record.hWnd, tray.m_wnd.GetSafeHwnd());
    EXPECT_EQ(record.uID, 1u);
    EXPECT_EQ(record.uFlags, 0u);
    EXPECT_EQ(record.uCallbackMessage, 0x401u);
    EXPECT_EQ(record.hIcon, icon);
    EXPECT_EQ(std::wstring(record.szTip), L"Ventiq");
    EXPECT_EQ(record.dwState, 0u);
    EXPECT_EQ(record.szInfo[0], L'\0');
}

TEST(TrayIcon, WithoutAnIconNothingIsAddedOrShown) {
    CLoggedTray tray;
    EXPECT_FALSE(tray.AddIcon(nullptr));
    EXPECT_TRUE(tray.m_icons.empty());
    EXPECT_FALSE(tray.ShowIcon());
    EXPECT_TRUE(tray.m_calls.empty());
}

TEST(TrayIcon, ShowIconAddsTheIconOnceThenUpdatesItAndAddsItAgainWhenTheShellForgot) {
    CLoggedTray tray;
    tray.AddIcon(ProgramIcon());
    EXPECT_TRUE(tray.ShowIcon());
    tray.m_bShellAnswer = FALSE;
    EXPECT_FALSE(tray.ShowIcon()); // the shell's answer is passed back
    EXPECT_FALSE(tray.IsIconShown()) << "a refused icon is not counted as shown";
    tray.m_bShellAnswer = TRUE;
    EXPECT_TRUE(tray.ShowIcon());
    EXPECT_TRUE(tray.IsIconShown());
    const std::vector<DWORD> messages = {NIM_ADD, NIM_MODIFY, NIM_ADD, NIM_ADD};
    ASSERT_EQ(tray.m_calls.size(), messages.size());
    for (size_t i = 0; i < messages.size(); ++i) {
        EXPECT_EQ(tray.m_calls[i].message, messages[i]) << i;
    }
    for (const ShellCall& call : tray.m_calls) {
        EXPECT_EQ(call.record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(call.record.uID, 1u);
    }
}

TEST(TrayIcon, DeleteIconRemovesOnlyAnIconThatIsThere) {
    CLoggedTray tray;
    tray.AddIcon(ProgramIcon());
    tray.ShowIcon();
    tray.m_calls.clear();

    EXPECT_FALSE(tray.DeleteIcon(2));
    EXPECT_EQ(tray.m_icons.size(), 1u);
    EXPECT_TRUE(tray.m_calls.empty());

    tray.m_bShellAnswer = FALSE; // the record goes even when the shell refuses
    EXPECT_FALSE(tray.DeleteIcon(1));
    EXPECT_TRUE(tray.m_icons.empty());
    ASSERT_EQ(tray.m_calls.size(), 1u);
    EXPECT_EQ(tray.m_calls[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(tray.m_calls[0].record.uFlags, 0u);
    EXPECT_EQ(tray.m_calls[0].record.uID, 1u);

    EXPECT_FALSE(tray.DeleteIcon(1)); // a second removal is harmless
    EXPECT_EQ(tray.m_calls.size(), 1u);
}

TEST(TrayIcon, ARecreatedNotificationAreaGetsTheShownIconAgain) {
    CLoggedTray tray;
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    tray.AddIcon(ProgramIcon());
    ::SendMessageW(tray.m_wnd.GetSafeHwnd(), taskbarCreated, 0, 0);
    EXPECT_TRUE(tray.m_calls.empty()); // not shown yet: nothing to restore

    tray.ShowIcon();
    tray.m_calls.clear();
    EXPECT_EQ(::SendMessageW(tray.m_wnd.GetSafeHwnd(), taskbarCreated, 0, 0), 0);
    ASSERT_EQ(tray.m_calls.size(), 1u);
    EXPECT_EQ(tray.m_calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(tray.m_calls[0].record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(tray.m_calls[0].record.hWnd, tray.m_wnd.GetSafeHwnd());
    EXPECT_EQ(std::wstring(tray.m_calls[0].record.szTip), L"Ventiq");

    tray.DeleteIcon(1);
    tray.m_calls.clear();
    ::SendMessageW(tray.m_wnd.GetSafeHwnd(), taskbarCreated, 0, 0);
    EXPECT_TRUE(tray.m_calls.empty());
}

// Which of the ten handlers ran, with what.
class CHandlerLog : public CSysTrayIcon {
public:
    struct Call {
        std::string handler;
        UINT id;
        int x;
        int y;
    };
    std::vector<Call> m_calls;

    void OnLButtonDown(UINT id, int x, int y) override { m_calls.push_back({"LButtonDown", id, x, y}); }
    void OnRButtonDown(UINT id, int x, int y) override { m_calls.push_back({"RButtonDown", id, x, y}); }
    void OnMButtonDown(UINT id, int x, int y) override { m_calls.push_back({"MButtonDown", id, x, y}); }
    void OnLButtonUp(UINT id, int x, int y) override { m_calls.push_back({"LButtonUp", id, x, y}); }
    void OnRButtonUp(UINT id, int x, int y) override { m_calls.push_back({"RButtonUp", id, x, y}); }
    void OnMButtonUp(UINT id, int x, int y) override { m_calls.push_back({"MButtonUp", id, x, y}); }
    void OnLButtonDblClk(UINT id, int x, int y) override { m_calls.push_back({"LButtonDblClk", id, x, y}); }
    void OnRButtonDblClk(UINT id, int x, int y) override { m_calls.push_back({"RButtonDblClk", id, x, y}); }
    void OnMButtonDblClk(UINT id, int x, int y) override { m_calls.push_back({"MButtonDblClk", id, x, y}); }
    void OnMouseMove(UINT id, int x, int y) override { m_calls.push_back({"MouseMove", id, x, y}); }
};

TEST(TrayIcon, EachMouseEventOnTheIconReachesItsHandlerWithTheCursor) {
    const struct {
        LPARAM event;
        const char* handler;
    } cases[] = {
        {WM_MOUSEMOVE, "MouseMove"},
        {WM_LBUTTONDOWN, "LButtonDown"},
        {WM_LBUTTONUP, "LButtonUp"},
        {WM_LBUTTONDBLCLK, "LButtonDblClk"},
        {WM_RBUTTONDOWN, "RButtonDown"},
        {WM_RBUTTONUP, "RButtonUp"},
        {WM_RBUTTONDBLCLK, "RButtonDblClk"},
        {WM_MBUTTONDOWN, "MButtonDown"},
        {WM_MBUTTONUP, "MButtonUp"},
        {WM_MBUTTONDBLCLK, "MButtonDblClk"},
        {0x1FF, nullptr},
        {WM_MOUSEWHEEL, nullptr},
        {WM_CONTEXTMENU, nullptr},
        {WM_USER + 2 /* balloon shown */, nullptr},
        {WM_USER + 4 /* balloon clicked */, nullptr},
        {0, nullptr},
    };
    const CScreenLock lock;
    CHandlerLog tray;
    ::SetCursorPos(123, 456);
    for (const auto& c : cases) {
        tray.m_calls.clear();
        EXPECT_EQ(::SendMessageW(tray.m_wnd.GetSafeHwnd(), WM_TRAYNOTIFY, 7, c.event), 0);
        if (c.handler == nullptr) {
            EXPECT_TRUE(tray.m_calls.empty()) << "event " << c.event;
            continue;
        }
        ASSERT_EQ(tray.m_calls.size(), 1u) << "event " << c.event;
        EXPECT_EQ(tray.m_calls[0].handler, c.handler);
        EXPECT_EQ(tray.m_calls[0].id, 7u);
        EXPECT_EQ(tray.m_calls[0].x, 123);
        EXPECT_EQ(tray.m_calls[0].y, 456);
    }
}

class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override { return FALSE; }
};

TEST(TrayIcon, ADoubleClickShowsTheMainWindowOnlyWhenAsked) {
    CTestApp app;
    CTestHost mainWindow;
    ASSERT_TRUE(mainWindow.Create(1000, 60, 50, 50));
    app.m_pMainWnd = &mainWindow;
    CLoggedTray tray;
    for (const BOOL show : {FALSE, TRUE}) {
        mainWindow.m_received.clear();
        tray.m_bShowOnDblClk = show;
        ::SendMessageW(tray.m_wnd.GetSafeHwnd(), WM_TRAYNOTIFY, 1, WM_LBUTTONDBLCLK);
        const std::vector<HostMessage> commands = mainWindow.Received(WM_COMMAND);
        if (!show) {
            EXPECT_TRUE(commands.empty());
            continue;
        }
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].wParam, 32768u);
        EXPECT_EQ(commands[0].lParam, 0);
    }
    // The program's other handlers of plain clicks and moves do nothing.
    mainWindow.m_received.clear();
    for (const LPARAM event : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDBLCLK, WM_MOUSEMOVE}) {
        ::SendMessageW(tray.m_wnd.GetSafeHwnd(), WM_TRAYNOTIFY, 1, event);
    }
    EXPECT_TRUE(mainWindow.m_received.empty());
}

// What the tray menu looked like while it was open, read from inside its loop.
struct OpenMenu {
    bool bSeen = false;
    HWND hForeground = nullptr;
    RECT rc{};
    std::vector<std::wstring> items;
};
OpenMenu g_openMenu;

// Runs inside the menu's loop: reads the open menu, then picks its first item with the keyboard.
void CALLBACK ReadAndChooseFirstItem(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
    if (menuWindow == nullptr || !::IsWindowVisible(menuWindow)) {
        ::EndMenu();
        return;
    }
    g_openMenu.bSeen = true;
    g_openMenu.hForeground = ::GetForegroundWindow();
    ::GetWindowRect(menuWindow, &g_openMenu.rc);
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[32] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 32, MF_BYPOSITION);
        g_openMenu.items.emplace_back(text);
    }
    ::PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
}

TEST(TrayIcon, TheRightButtonOpensTheMenuAtTheCursorForTheMainWindow) {
    const CScreenLock lock;
    CTestApp app;
    CTestHost mainWindow;
    ASSERT_TRUE(mainWindow.Create(1000, 60, 50, 50));
    app.m_pMainWnd = &mainWindow;
    CLoggedTray tray;
    ::SetCursorPos(300, 200);
    g_openMenu = OpenMenu{};
    ::SetTimer(nullptr, 0, 100, &ReadAndChooseFirstItem);
    ::SendMessageW(tray.m_wnd.GetSafeHwnd(), WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN);
    PumpMessages();

    ASSERT_TRUE(g_openMenu.bSeen);
    EXPECT_EQ(g_openMenu.hForeground, mainWindow.GetSafeHwnd());
    EXPECT_EQ(g_openMenu.rc.left, 300);
    EXPECT_EQ(g_openMenu.rc.top, 200);
    EXPECT_EQ(g_openMenu.items, (std::vector<std::wstring>{L"Show", L"Edit curves\u2026", L"Start with Windows",
                                                           L"Restore my settings at start", L"", L"Close"}));
    const std::vector<HostMessage> commands = mainWindow.Received(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 32771u);
}

TEST(TrayIcon, RemovingTheTrayObjectRemovesItsIconsAndItsWindow) {
    HWND hidden = nullptr;
    {
        CMyAppTrayIcon tray;
        hidden = tray.m_wnd.GetSafeHwnd();
        tray.AddIcon(ProgramIcon());
        ASSERT_TRUE(::IsWindow(hidden));
    }
    EXPECT_FALSE(::IsWindow(hidden));
}

TEST(TrayIcon, TheShellTakesTheRecordAsItIs) {
    CMyAppTrayIcon tray;
    ASSERT_TRUE(tray.AddIcon(ProgramIcon()));
    EXPECT_TRUE(tray.ShowIcon());
    EXPECT_TRUE(tray.ShowIcon());
    EXPECT_TRUE(tray.DeleteIcon(1));
}

} // namespace
