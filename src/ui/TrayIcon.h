// CSysTrayIcon, CSysTrayWnd, CMyAppTrayIcon: the notification-area icon and its menu.
#pragma once
#include "framework/Wnd.h"

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

constexpr UINT WM_TRAYNOTIFY = WM_USER + 1;

class CSysTrayIcon;

// The hidden window that receives the icon's callback message and the shell's restart message.
class CSysTrayWnd : public CWnd {
public:
    ~CSysTrayWnd() override;
    // Creates the hidden window and takes it over (a failure leaves the object without a window).
    void Create();

    CSysTrayIcon* m_pOwner = nullptr;

protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
};

// A general notification-area icon manager: a list of icon records and a virtual handler per
// mouse event on an icon, each doing nothing here.
class CSysTrayIcon {
public:
    CSysTrayIcon();
    virtual ~CSysTrayIcon();
    CSysTrayIcon(const CSysTrayIcon&) = delete;
    CSysTrayIcon& operator=(const CSysTrayIcon&) = delete;

    // Creates the record of icon 1 (once); the notification area is not touched.
    BOOL AddIcon(HICON icon);
    // Puts icon 1 into the notification area, or updates it there; added afresh when the shell has
    // forgotten it. FALSE when the shell refused: the icon then counts as not shown.
    BOOL ShowIcon();
    // Whether icon 1 is in the notification area as far as the shell said.
    bool IsIconShown() const;
    // Gives icon 1 this tip (cut to the record's length) and tells the shell when the icon is shown.
    // FALSE when there is no icon or the tip is already this text: nothing is sent then.
    BOOL SetTip(const std::wstring& text);
    // A balloon note over icon 1, for what the user should know while the window may be hidden.
    BOOL ShowBalloon(const std::wstring& text);
    // Removes the icon from the notification area and from the list.
    BOOL DeleteIcon(UINT id);
    // The notification area was recreated: every shown icon is added again.
    void RestoreIcons();

    virtual void OnLButtonDown(UINT, int, int) {}
    virtual void OnRButtonDown(UINT, int, int) {}
    virtual void OnMButtonDown(UINT, int, int) {}
    virtual void OnLButtonUp(UINT, int, int) {}
    virtual void OnRButtonUp(UINT, int, int) {}
    virtual void OnMButtonUp(UINT, int, int) {}
    virtual void OnLButtonDblClk(UINT, int, int) {}
    virtual void OnRButtonDblClk(UINT, int, int) {}
    virtual void OnMButtonDblClk(UINT, int, int) {}
    virtual void OnMouseMove(UINT, int, int) {}

    CSysTrayWnd m_wnd;
    std::vector<std::unique_ptr<NOTIFYICONDATAW>> m_icons;

protected:
    // The one door to the shell's notification area.
    virtual BOOL NotifyShell(DWORD message, NOTIFYICONDATAW& record);

private:
    NOTIFYICONDATAW* FindIcon(UINT id) const;
};

// The program's icon: the right button opens the Show / Close menu, a double click shows the window.
class CMyAppTrayIcon : public CSysTrayIcon {
public:
    void OnRButtonDown(UINT id, int x, int y) override;
    void OnLButtonDblClk(UINT id, int x, int y) override;

    BOOL m_bShowOnDblClk = FALSE;
};
