// CWnd: subclassing and event-table dispatch.
#include "framework/Wnd.h"

#include "framework/WindowProcGuard.h"

namespace {
// The object pointer lives in a window property, so no control's own user data is disturbed.
const wchar_t kObjectProperty[] = L"Ventiq.CWnd";
} // namespace

CWnd::~CWnd() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        UnsubclassWindow();
    }
}

bool CWnd::SubclassWindow(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr) {
        return false;
    }
    m_hWnd = hWnd;
    PreSubclassWindow();
    ::SetPropW(hWnd, kObjectProperty, this);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return true;
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::RemovePropW(hWnd, kObjectProperty);
    }
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    return hWnd;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return static_cast<CWnd*>(::GetPropW(hWnd, kObjectProperty));
}

std::wstring CWnd::GetWindowText() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

const WndEvent* CWnd::FindEvent(UINT message, WPARAM wParam) const {
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        message = WM_CTLCOLOR;
    }
    for (const WndEventTable* table = GetEventTable(); table != nullptr; table = table->base) {
        for (const WndEvent& event : table->events) {
            if (event.message != message) {
                continue;
            }
            if (message != WM_COMMAND || (event.id == LOWORD(wParam) && HIWORD(wParam) == 0)) {
                return &event;
            }
        }
    }
    return nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const WndEvent* event = FindEvent(message, wParam);
    return event != nullptr ? event->dispatch(*this, message, wParam, lParam) : Default();
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_nCurrentMessage, m_wCurrentParam, m_lCurrentParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_pfnSuper != nullptr ? ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam)
                                 : ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcGuarded(&CWnd::DispatchToObject, hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::DispatchToObject(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandle(hWnd);
    if (wnd == nullptr) {
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    // Handlers may send messages to their own window; each level keeps its own current message.
    const UINT savedMessage = wnd->m_nCurrentMessage;
    const WPARAM savedWParam = wnd->m_wCurrentParam;
    const LPARAM savedLParam = wnd->m_lCurrentParam;
    wnd->m_nCurrentMessage = message;
    wnd->m_wCurrentParam = wParam;
    wnd->m_lCurrentParam = lParam;
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->m_nCurrentMessage = savedMessage;
    wnd->m_wCurrentParam = savedWParam;
    wnd->m_lCurrentParam = savedLParam;
    if (message == WM_NCDESTROY) {
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}
