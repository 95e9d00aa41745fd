// CWnd: a thin owner of one HWND that subclasses it and dispatches its messages through
// per-class event tables, falling back to the window's original procedure.
#pragma once
#include <windows.h>

#include <span>
#include <string>

// The whole WM_CTLCOLOR* family arrives at one table row under this id (the old combined message).
constexpr UINT WM_CTLCOLOR = 0x0019;

class CWnd;

// One row of an event table: a message (or WM_COMMAND with a command id) and its handler.
struct WndEvent {
    UINT message;
    UINT id;
    LRESULT (*dispatch)(CWnd& wnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// A class's own rows and its base class's table, searched in that order.
struct WndEventTable {
    const WndEventTable* base;
    std::span<const WndEvent> events;
};

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // Takes over an existing window: its messages reach this object from now on.
    bool SubclassWindow(HWND hWnd);
    // Gives the window its own procedure back; the object no longer refers to it.
    HWND UnsubclassWindow();
    // The object behind a subclassed window, or null.
    static CWnd* FromHandle(HWND hWnd);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetWindowText() const;
    BOOL EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL Invalidate(BOOL erase = TRUE) const { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

protected:
    // The message-map accessor: a class with handlers returns its own table chained to its base's.
    virtual const WndEventTable* GetEventTable() const { return nullptr; }
    // Runs just before the window procedure is replaced.
    virtual void PreSubclassWindow() {}
    // Runs the matching handler, or default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();
    // Processing of any message by the window's original procedure.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs after the window has received its last message; the object may be reused.
    virtual void PostNcDestroy() {}

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK DispatchToObject(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    const WndEvent* FindEvent(UINT message, WPARAM wParam) const;

    WNDPROC m_pfnSuper = nullptr;
    UINT m_nCurrentMessage = 0;
    WPARAM m_wCurrentParam = 0;
    LPARAM m_lCurrentParam = 0;
};

// Event-table rows. The handler's class comes from the member pointer, so a row reads
// OnCommand<&CVentiqDlg::OnApply>(1013) or OnMessage<&CBitmapSlider::OnPaint>(WM_PAINT).
namespace event_detail {
template <class T> struct ClassOf;
template <class C, class R, class... A> struct ClassOf<R (C::*)(A...)> {
    using type = C;
};
template <auto Handler> using HandlerClass = typename ClassOf<decltype(Handler)>::type;
} // namespace event_detail

// void Handler(): WM_COMMAND with this id and notification 0 (button click, menu item).
template <auto Handler> WndEvent OnCommand(UINT id) {
    struct Row {
        static LRESULT Dispatch(CWnd& wnd, UINT, WPARAM, LPARAM) {
            (static_cast<event_detail::HandlerClass<Handler>&>(wnd).*Handler)();
            return 0;
        }
    };
    return {WM_COMMAND, id, &Row::Dispatch};
}

// LRESULT Handler(WPARAM, LPARAM): any message, with its parameters.
template <auto Handler> WndEvent OnMessage(UINT message) {
    struct Row {
        static LRESULT Dispatch(CWnd& wnd, UINT, WPARAM wParam, LPARAM lParam) {
            return (static_cast<event_detail::HandlerClass<Handler>&>(wnd).*Handler)(wParam, lParam);
        }
    };
    return {message, 0, &Row::Dispatch};
}

// void Handler(UINT_PTR id): WM_TIMER.
template <auto Handler> WndEvent OnTimerEvent() {
    struct Row {
        static LRESULT Dispatch(CWnd& wnd, UINT, WPARAM wParam, LPARAM) {
            (static_cast<event_detail::HandlerClass<Handler>&>(wnd).*Handler)(wParam);
            return 0;
        }
    };
    return {WM_TIMER, 0, &Row::Dispatch};
}

// HBRUSH Handler(HDC dc, HWND control, UINT kind): every WM_CTLCOLOR* message, kind being
// CTLCOLOR_MSGBOX .. CTLCOLOR_STATIC.
template <auto Handler> WndEvent OnCtlColorEvent() {
    struct Row {
        static LRESULT Dispatch(CWnd& wnd, UINT message, WPARAM wParam, LPARAM lParam) {
            return reinterpret_cast<LRESULT>((static_cast<event_detail::HandlerClass<Handler>&>(wnd).*Handler)(
                reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message - WM_CTLCOLORMSGBOX));
        }
    };
    return {WM_CTLCOLOR, 0, &Row::Dispatch};
}
