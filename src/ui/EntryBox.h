// CEntryBox: an edit control that paints in one pass through an off-screen picture and takes digits
// only, pasted text included.
#pragma once
#include "framework/Wnd.h"

// The digits of a text, in order; everything else left out.
std::wstring DigitsOf(const std::wstring& text);

class CEntryBox : public CWnd {
public:
    // Sets the text only when it differs, so an unchanged value repaints nothing.
    void ShowText(const std::wstring& text) const;

protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    // Typed characters are filtered before they arrive; pasted text is filtered here.
    LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
};
