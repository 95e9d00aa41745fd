// CEntryBox: an edit control that paints in one pass through an off-screen picture.
#pragma once
#include "framework/Wnd.h"

class CEntryBox : public CWnd {
public:
    // Sets the text only when it differs, so an unchanged value repaints nothing.
    void ShowText(const std::wstring& text) const;

protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
};
