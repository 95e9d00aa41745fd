// CxSkinButton: an owner-drawn push button showing one of four bitmaps by state.
#pragma once
#include "framework/Wnd.h"
#include "ui/GdiHandle.h"

// Sent to the other radio buttons of a group when one of them is checked.
constexpr UINT WM_SKIN_UNCHECK = WM_USER + 0x100;

class CxSkinButton : public CWnd {
public:
    // Kinds of button, from the style the button had before it became owner-drawn.
    enum : int { kPushButton = 0, kCheckBox = 2, kRadioButton = 4 };

    CxSkinButton();

    // Loads the four images (an image that fails to load stays empty) and repaints the button.
    void SetSkinImages(UINT normalId, UINT downId, UINT overId, UINT disabledId);

    HCURSOR m_hCursor;
    bool m_bChecked = false;
    int m_nKind = kPushButton;
    // The mouse is over the button and leave tracking is armed.
    bool m_bHover = false;
    // The left button went down on the button and has not come up.
    bool m_bPressed = false;
    COLORREF m_crText;

protected:
    const WndEventTable* GetEventTable() const override;
    void PreSubclassWindow() override;
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnSkinUncheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectDrawItem(WPARAM wParam, LPARAM lParam);

private:
    bool IsOverButton(POINT screenPoint) const { return ::WindowFromPoint(screenPoint) == m_hWnd; }
    bool IsPushed() const { return (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0; }
    // The check a click or the space bar gives: a check box toggles, a radio button is checked.
    void ToggleCheck();
    void Repaint() const;

    BitmapHandle m_hNormal;
    BitmapHandle m_hDown;
    BitmapHandle m_hDisabled;
    BitmapHandle m_hOver;
};
