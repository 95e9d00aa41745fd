// CEntryBox: the edit control draws its background and text into a buffer, shown with one copy, and
// pastes only digits.
#include "ui/EntryBox.h"

#include "ui/MemoDC.h"

#include <algorithm>
#include <iterator>

std::wstring DigitsOf(const std::wstring& text) {
    std::wstring digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits),
                 [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    return digits;
}

void CEntryBox::ShowText(const std::wstring& text) const {
    if (GetWindowText() != text) {
        SetWindowText(text);
    }
}

const WndEventTable* CEntryBox::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CEntryBox::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&CEntryBox::OnPaint>(WM_PAINT),
        OnMessage<&CEntryBox::OnPaste>(WM_PASTE),
    };
    static const WndEventTable table{nullptr, events};
    return &table;
}

LRESULT CEntryBox::OnEraseBkgnd(WPARAM, LPARAM) {
    // The paint fills the whole box.
    return TRUE;
}

LRESULT CEntryBox::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint{};
    HDC paintDC = ::BeginPaint(m_hWnd, &paint);
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    {
        // The control fills its background (the parent's colour for it) and draws its text.
        CMemoDC offscreen(paintDC, &rc, false);
        DefWindowProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(static_cast<HDC>(offscreen)),
                      PRF_CLIENT | PRF_ERASEBKGND);
    }
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CEntryBox::OnPaste(WPARAM, LPARAM) {
    std::wstring text;
    if (::OpenClipboard(m_hWnd)) {
        if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
                text = chars;
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
    }
    // The box's text limit still holds for what is put in.
    const std::wstring digits = DigitsOf(text);
    SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(digits.c_str()));
    return 0;
}
