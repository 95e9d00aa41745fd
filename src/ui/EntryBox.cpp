// CEntryBox: the edit control draws its background and text into a buffer, shown with one copy.
#include "ui/EntryBox.h"

#include "ui/MemoDC.h"

void CEntryBox::ShowText(const std::wstring& text) const {
    if (GetWindowText() != text) {
        SetWindowText(text);
    }
}

const WndEventTable* CEntryBox::GetEventTable() const {
    static const WndEvent events[] = {
        OnMessage<&CEntryBox::OnEraseBkgnd>(WM_ERASEBKGND),
        OnMessage<&CEntryBox::OnPaint>(WM_PAINT),
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
