// CPanelButton: an owner-drawn push button of the curve editor, painted in the skin's look: a dark
// face, a yellow rim with the focus, a glow under the mouse, lit while pressed, and tinted in a fan
// set's colour while it stands for the chosen set.
#pragma once
#include "framework/Wnd.h"
#include "ui/Canvas.h"

#include <optional>

class CPanelButton : public CWnd {
public:
    // The button as child nId of hParent over rc; false when it cannot be made.
    bool Create(HWND hParent, const RECT& rc, int nId, const std::wstring& strCaption, HFONT hFont);
    // Tints the button in colour while it stands for the current choice; none for a plain button.
    void SetChoice(std::optional<COLORREF> colour);

protected:
    const WndEventTable* GetEventTable() const override;
    LRESULT OnReflectDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);

private:
    HFONT m_hFont = nullptr;
    CCanvas m_canvas;
    std::optional<COLORREF> m_choice;
    bool m_bHover = false; // the mouse is over the button and leave tracking is armed
};
